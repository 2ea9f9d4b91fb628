# Reads a vCard file with vobject and prints the fields of every card as JSON, so that a
# test can compare what an independent reader understood of our export.
import sys, json, vobject
def text(v):
    return ",".join(v) if isinstance(v, list) else v
def first(card, *names):
    for name in names:
        if name in card.contents:
            return card.contents[name][0].value
    return ""
# Inline pictures of 3.0 only: vobject cuts a data URI of 4.0 at its comma.
def photo(card):
    p = card.contents.get("photo", [None])[0]
    if p is None or not isinstance(p.value, bytes):
        return []
    return [",".join(p.params.get("TYPE", [])).lower(), len(p.value)]
out = []
with open(sys.argv[1], encoding="utf-8", newline="") as f:
    for card in vobject.readComponents(f.read()):
        n = card.n.value
        out.append({
            "n": [text(n.family), text(n.given), text(n.additional), text(n.prefix), text(n.suffix)],
            "fn": card.fn.value,
            "tel": [[",".join(t.params.get("TYPE", [])).lower(), t.value] for t in card.contents.get("tel", [])],
            "email": [e.value for e in card.contents.get("email", [])],
            "adr": [[text(a.value.street), text(a.value.city), text(a.value.code)] for a in card.contents.get("adr", [])],
            "note": card.note.value if "note" in card.contents else "",
            "dates": [first(card, "bday"), first(card, "anniversary", "x-anniversary")],
            "names": [first(card, "nickname"), first(card, "title"), first(card, "role")],
            "photo": photo(card),
        })
print(json.dumps(out, ensure_ascii=False))
