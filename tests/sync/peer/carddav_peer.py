#!/usr/bin/env python3
"""A second CardDAV client for the tests: reads, writes and deletes the cards of one
address book with plain HTTP, independent of the program's own client.

    carddav_peer.py BOOK_URL USER PASSWORD list            JSON {href: {etag, text}}
    carddav_peer.py BOOK_URL USER PASSWORD count           number of cards
    carddav_peer.py BOOK_URL USER PASSWORD put HREF < card  prints the new ETag
    carddav_peer.py BOOK_URL USER PASSWORD delete HREF
"""
import json
import sys
import xml.etree.ElementTree as ET
from urllib.parse import urljoin

import requests

DAV = "{DAV:}"


def members(session, book):
    body = ('<?xml version="1.0"?><d:propfind xmlns:d="DAV:"><d:prop><d:getetag/>'
            '</d:prop></d:propfind>')
    answer = session.request("PROPFIND", book, data=body, headers={"Depth": "1"})
    answer.raise_for_status()
    found = {}
    for response in ET.fromstring(answer.content).iter(DAV + "response"):
        href = response.find(DAV + "href").text
        etag = response.find(".//" + DAV + "getetag")
        if href.endswith(".vcf") and etag is not None:
            found[href] = etag.text
    return found


def main():
    book, user, password, command = sys.argv[1:5]
    session = requests.Session()
    session.auth = (user, password)
    if command == "list":
        cards = {}
        for href, etag in members(session, book).items():
            answer = session.get(urljoin(book, href))
            answer.raise_for_status()
            cards[href] = {"etag": etag, "text": answer.content.decode("utf-8")}
        json.dump(cards, sys.stdout)
    elif command == "count":
        print(len(members(session, book)))
    elif command == "put":
        answer = session.put(urljoin(book, sys.argv[5]), data=sys.stdin.buffer.read(),
                             headers={"Content-Type": "text/vcard; charset=utf-8"})
        answer.raise_for_status()
        print(answer.headers.get("ETag", ""))
    elif command == "delete":
        session.delete(urljoin(book, sys.argv[5])).raise_for_status()
    else:
        sys.exit("unknown command " + command)


if __name__ == "__main__":
    main()
