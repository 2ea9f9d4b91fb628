#pragma once

#include "import/ChildJob.h"

#include <QByteArrayView>

#include <string>
#include <string_view>
#include <vector>

namespace veltro::import {

// Reads an Access file through mdbtools and sends what it finds as frames. Runs only in
// a child process (see ChildJob): the library is not safe against damaged files.
//
// Frames: 'T' table name, 'C' column name (of the last table, or of the table read),
// 'N' number of records as decimal text, 'D' records read and records the table declares as
// two decimal numbers with a blank between, 'R' record: per column a 32-bit length and the
// UTF-8 text, 'H' nothing but a sign of life during long work. Every function returns the exit
// status for the child (0 = done).
class MdbReader {
public:
    // Every table of the file with its columns in table order, system tables included.
    static int listTables(const std::string& file, FrameWriter& out);
    // The column names of one table, the counts, then the records whose key column holds a
    // value, every value as text.
    static int readRecords(const std::string& file, const std::string& table,
                           const std::string& keyColumn, FrameWriter& out);
};

// Record payload codec, shared by the child that writes and the parent that reads.
void appendValue(std::string& payload, std::string_view value);
// The values of a record payload; false when it is malformed.
bool splitValues(QByteArrayView payload, std::vector<QByteArrayView>& values);

}  // namespace veltro::import
