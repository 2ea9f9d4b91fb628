#include "richtext/RtfFontTable.h"

#include "richtext/TextDecoder.h"

namespace veltro::richtext {
namespace {

constexpr std::size_t kMaxFonts = 1024;

}  // namespace

void RtfFontTable::beginEntry(int index, std::size_t groupDepth) {
    if (open_) {
        commit();
    }
    open_ = true;
    index_ = index;
    depth_ = groupDepth;
    codePage_.reset();
    name_.clear();
}

void RtfFontTable::setCharset(int charset) {
    codePage_ = codePageForCharset(charset);
}

void RtfFontTable::setCodePage(int codePage) {
    if (codePage > 0 && codePage <= 65535) {
        codePage_ = codePage;
    }
}

void RtfFontTable::nameTextAdded() {
    const qsizetype end = open_ ? name_.indexOf(u';') : -1;
    if (end >= 0) {
        name_.truncate(end);
        commit();
    }
}

void RtfFontTable::groupClosing(std::size_t groupDepth) {
    if (open_ && groupDepth <= depth_) {
        commit();
    }
}

QString RtfFontTable::family(int font) const {
    const auto it = fonts_.find(font);
    return it == fonts_.end() ? QString() : it->second.name;
}

std::optional<int> RtfFontTable::codePage(int font) const {
    const auto it = fonts_.find(font);
    return it == fonts_.end() ? std::nullopt : it->second.codePage;
}

void RtfFontTable::commit() {
    open_ = false;
    ++changes_;
    if (fonts_.size() < kMaxFonts || fonts_.contains(index_)) {
        fonts_[index_] = {name_.trimmed(), codePage_};
    }
    name_.clear();
}

}  // namespace veltro::richtext
