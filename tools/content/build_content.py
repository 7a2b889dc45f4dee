#!/usr/bin/env python3
"""Builds the documents that Pinwheels ships: the board templates and the
first-run tutorial.

The content is written in a small text format under tools/content/source/
(see README.md next to this script). Each source file becomes one exchange
document under resources/, with the same relative path and the extension
".Pinwheels". The outputs are committed, so the application's build never
needs Python; run this script after editing a source file:

    python3 tools/content/build_content.py          # write resources/
    python3 tools/content/build_content.py --check  # fail if resources/ is stale

Every document is validated after it is written, by reading the written
bytes back: the build fails rather than ship a document that the import
reader would misread.
"""

from __future__ import annotations

import argparse
import datetime as dt
import json
import re
import sys
import uuid
from dataclasses import dataclass, field
from pathlib import Path

REPO_ROOT = Path(__file__).resolve().parents[2]
SOURCE_DIR = Path(__file__).resolve().parent / "source"
OUTPUT_DIR = REPO_ROOT / "resources"
EXTENSION = ".Pinwheels"

# Document identities are derived from the file's relative path, so that the
# output is identical from one run to the next.
URI_NAMESPACE = uuid.UUID("6f1c2a4e-93b5-4d1e-a7c0-5e2b8d9f3a61")

DATE_FORMAT = "%Y-%m-%d %H:%M:%S"
DATE_PATTERN = re.compile(r"^\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}$")
DEFAULT_DATE = "2025-01-06 09:00:00"
PALETTE_SIZE = 7
STRIKETHROUGH_SINGLE = 1

# A not-done card with a due date earlier than this would turn a board's
# badge red some day after the document ships.
EARLIEST_SHIPPED_DUE_DATE = "2090-01-01 00:00:00"


class ContentError(Exception):
    pass


# ---------------------------------------------------------------------------
# Source model


@dataclass
class Line:
    text: str
    style: str | None  # "title", "header", "body" or None for a checklist line
    checked: bool | None = None  # the tick of a checklist line


@dataclass
class Card:
    lines: list[Line]
    tags: list[str] = field(default_factory=list)
    done_date: str | None = None
    archived: bool = False
    due_date: str | None = None
    priority: bool = False
    expanded: bool = True
    added: str | None = None
    where: str = ""

    @property
    def done(self) -> bool:
        return self.done_date is not None


@dataclass
class Column:
    title: str
    cards: list[Card] = field(default_factory=list)


@dataclass
class Board:
    title: str
    colour: int = 0
    tags: list[tuple[str, int]] = field(default_factory=list)
    columns: list[Column] = field(default_factory=list)


@dataclass
class ItemList:
    title: str
    colour: int = 0
    items: list[Card] = field(default_factory=list)


@dataclass
class Folder:
    title: str
    colour: int = 0
    children: list = field(default_factory=list)


@dataclass
class Document:
    entries: list = field(default_factory=list)
    added: str = DEFAULT_DATE


# ---------------------------------------------------------------------------
# Parsing the source format


def parse_date(text: str, where: str) -> str:
    text = text.strip()
    if not DATE_PATTERN.match(text):
        raise ContentError(f"{where}: '{text}' is not a date of the form yyyy-MM-dd HH:mm:ss")
    try:
        dt.datetime.strptime(text, DATE_FORMAT)
    except ValueError as error:
        raise ContentError(f"{where}: {error}") from None
    return text


def parse_colour(text: str, where: str) -> int:
    try:
        value = int(text.strip())
    except ValueError:
        raise ContentError(f"{where}: colour '{text}' is not a number") from None
    if not 0 <= value < PALETTE_SIZE:
        raise ContentError(f"{where}: colour {value} is outside 0 to {PALETTE_SIZE - 1}")
    return value


def parse_card_options(text: str, where: str) -> Card:
    card = Card(lines=[], where=where)
    for option in filter(None, (part.strip() for part in text.split("|"))):
        key, _, value = option.partition("=")
        key, value = key.strip(), value.strip()
        if key == "done":
            card.done_date = parse_date(value, where) if value else ""
        elif key == "archived":
            card.archived = True
        elif key == "due":
            card.due_date = parse_date(value, where)
        elif key == "priority":
            card.priority = True
        elif key == "collapsed":
            card.expanded = False
        elif key == "added":
            card.added = parse_date(value, where)
        elif key == "tags":
            card.tags = [name.strip() for name in value.split(",") if name.strip()]
        else:
            raise ContentError(f"{where}: unknown card option '{key}'")
    if card.archived and not card.done:
        raise ContentError(f"{where}: an archived card must also be done")
    return card


def parse_content_line(text: str, first: bool) -> Line:
    if text.startswith("[ ] "):
        return Line(text[4:].strip(), None, False)
    if text.lower().startswith("[x] "):
        return Line(text[4:].strip(), None, True)
    if text.startswith("## "):
        return Line(text[3:].strip(), "header")
    if text.startswith("# "):
        return Line(text[2:].strip(), "title")
    return Line(text, "title" if first else "body")


def parse_source(path: Path) -> Document:
    document = Document()
    folders: list[Folder] = []
    container = None  # the board or list that takes columns, cards or items
    column = None
    card = None

    def add_node(node) -> None:
        (folders[-1].children if folders else document.entries).append(node)

    def finish_card() -> None:
        nonlocal card
        if card is not None and not card.lines:
            raise ContentError(f"{card.where}: the card has no text")
        card = None

    label = path.relative_to(SOURCE_DIR) if path.is_relative_to(SOURCE_DIR) else path.name
    for number, raw in enumerate(path.read_text(encoding="utf-8").splitlines(), start=1):
        where = f"{label}:{number}"
        text = raw.strip()
        if not text or text.startswith("//"):
            continue
        if not text.startswith("@"):
            if card is None:
                raise ContentError(f"{where}: text outside a card")
            card.lines.append(parse_content_line(text, first=not card.lines))
            continue

        keyword, _, argument = text[1:].partition(" ")
        argument = argument.strip()
        finish_card()
        if keyword in ("board", "list", "folder"):
            if not argument:
                raise ContentError(f"{where}: @{keyword} needs a title")
            node = {"board": Board, "list": ItemList, "folder": Folder}[keyword](argument)
            add_node(node)
            container, column = (None, None) if keyword == "folder" else (node, None)
            if keyword == "folder":
                folders.append(node)
        elif keyword == "end":
            if not folders:
                raise ContentError(f"{where}: @end without an open folder")
            folders.pop()
            container, column = None, None
        elif keyword == "colour":
            target = container if container is not None else (folders[-1] if folders else None)
            if target is None:
                raise ContentError(f"{where}: @colour outside a board, list or folder")
            target.colour = parse_colour(argument, where)
        elif keyword == "tag":
            if not isinstance(container, Board):
                raise ContentError(f"{where}: @tag outside a board")
            name, _, colour = argument.rpartition("=")
            if not name.strip():
                raise ContentError(f"{where}: write a tag as @tag <name> = <colour>")
            container.tags.append((name.strip(), parse_colour(colour, where)))
        elif keyword == "column":
            if not isinstance(container, Board):
                raise ContentError(f"{where}: @column outside a board")
            column = Column(argument)
            container.columns.append(column)
        elif keyword == "card":
            if column is None:
                raise ContentError(f"{where}: @card outside a column")
            card = parse_card_options(argument, where)
            column.cards.append(card)
        elif keyword == "item":
            if not isinstance(container, ItemList):
                raise ContentError(f"{where}: @item outside a list")
            card = parse_card_options(argument, where)
            container.items.append(card)
        elif keyword == "added":
            document.added = parse_date(argument, where)
        else:
            raise ContentError(f"{where}: unknown directive @{keyword}")
    finish_card()
    if folders:
        raise ContentError(f"{path}: folder '{folders[-1].title}' is not closed with @end")
    return document


# ---------------------------------------------------------------------------
# Writing exchange entries


def utf16_length(text: str) -> int:
    return len(text.encode("utf-16-le")) // 2


class EntryWriter:
    """Turns the source model into object entries with document-unique URIs."""

    def __init__(self, relative_path: str, document: Document):
        self.store = uuid.uuid5(URI_NAMESPACE, relative_path).hex.upper()
        self.counters: dict[str, int] = {}
        self.document = document

    def uri(self, entity: str) -> str:
        self.counters[entity] = self.counters.get(entity, 0) + 1
        return f"x-pinwheels://{self.store}/{entity}/p{self.counters[entity]}"

    def entry(self, node) -> dict:
        if isinstance(node, Board):
            return self.board(node)
        if isinstance(node, ItemList):
            return self.item_list(node)
        return self.folder(node)

    def folder(self, folder: Folder) -> dict:
        return {"Folder": {
            "title": folder.title, "colour": folder.colour, "bgImage": None, "export": False,
            "children": [self.entry(child) for child in folder.children],
            "objectIDURI": self.uri("Folder")}}

    def item_list(self, item_list: ItemList) -> dict:
        return {"List": {
            "title": item_list.title, "colour": item_list.colour, "bgImage": None,
            "export": False, "children": [],
            "item": [self.card(item, {}) for item in item_list.items],
            "objectIDURI": self.uri("List")}}

    def board(self, board: Board) -> dict:
        tags = {}
        for name, colour in board.tags:
            if name in tags:
                raise ContentError(f"board '{board.title}': tag '{name}' is declared twice")
            tags[name] = {"Tag": {"name": name, "colour": colour, "bgImage": None,
                                  "export": False, "objectIDURI": self.uri("Tag")}}
        columns = [{"KanbanColumn": {
            "title": column.title,
            "item": [self.card(card, tags) for card in column.cards],
            "objectIDURI": self.uri("KanbanColumn")}} for column in board.columns]
        return {"Kanban": {
            "title": board.title, "colour": board.colour, "bgImage": None, "export": False,
            "children": [], "column": columns, "tags": list(tags.values()),
            "objectIDURI": self.uri("Kanban")}}

    def card(self, card: Card, board_tags: dict) -> dict:
        tags = []
        for name in card.tags:
            if name not in board_tags:
                raise ContentError(f"{card.where}: tag '{name}' is not a tag of the board")
            tags.append(board_tags[name])
        done_date = (card.done_date or self.document.added) if card.done else None
        return {"ListItem": {
            "title": card.lines[0].text,
            "attributedNotes": rich_text(card.lines, card.done),
            "dateAdded": card.added or self.document.added,
            "dueDate": card.due_date,
            "doneDate": done_date,
            "done": card.done,
            "archived": card.archived,
            "priority": 1 if card.priority else 0,
            "notesExpanded": card.expanded,
            "timeWorked": 0,
            "tags": tags,
            "objectIDURI": self.uri("ListItem")}}


def rich_text(lines: list[Line], struck: bool) -> dict:
    """One run per stretch of equal attributes, as the application writes it:
    neighbouring lines of the same style share a run."""
    text = ""
    runs: list[dict] = []
    for index, line in enumerate(lines):
        piece = line.text + ("\n" if index + 1 < len(lines) else "")
        if line.style is None:
            attributes = {"isChecklistChecked": bool(line.checked)}
        else:
            attributes = {"NOTESTYLENAME": line.style}
        if struck:
            attributes["NSStrikethrough"] = STRIKETHROUGH_SINGLE
        length = utf16_length(piece)
        if runs and runs[-1]["attributes"] == attributes:
            runs[-1]["range"]["length"] += length
        else:
            runs.append({"range": {"location": utf16_length(text), "length": length},
                         "attributes": attributes})
        text += piece
    return {"string": text, "runs": runs}


def serialise(entries: list) -> bytes:
    return json.dumps(entries, ensure_ascii=False, separators=(",", ":")).encode("utf-8")


# ---------------------------------------------------------------------------
# Validation of a written document


MEMBERS = {
    "Folder": ({"title": str, "colour": int, "bgImage": (str, None), "export": bool},
               {"children"}),
    "List": ({"title": str, "colour": int, "bgImage": (str, None), "export": bool},
             {"children", "item"}),
    "Kanban": ({"title": str, "colour": int, "bgImage": (str, None), "export": bool},
               {"children", "column", "tags"}),
    "KanbanColumn": ({"title": str}, {"item"}),
    "ListItem": ({"title": str, "attributedNotes": dict, "dateAdded": "date",
                  "dueDate": ("date", None), "doneDate": ("date", None), "done": bool,
                  "archived": bool, "priority": int, "notesExpanded": bool, "timeWorked": int},
                 {"tags"}),
    "Tag": ({"name": str, "colour": int, "bgImage": (str, None), "export": bool}, set()),
}
RELATED_ENTITIES = {"children": {"Folder", "List", "Kanban"}, "column": {"KanbanColumn"},
                    "item": {"ListItem"}, "tags": {"Tag"}}
RUN_KEYS = {"NOTESTYLENAME", "isChecklistChecked", "NSStrikethrough", "NSAttachment", "NSLink"}
STYLE_NAMES = {"title", "header", "body"}


class Validator:
    def __init__(self, name: str, kind: str):
        self.name = name
        self.kind = kind  # "template" or "tutorial"
        self.seen: dict[str, object] = {}
        self.problems: list[str] = []

    def fail(self, where: str, message: str) -> None:
        self.problems.append(f"{self.name}: {where}: {message}")

    def run(self, data: bytes) -> list[str]:
        if b"\n" in data or b"\r" in data:
            self.fail("document", "is not compact (it contains a line break)")
        try:
            document = json.loads(data.decode("utf-8"))
        except (UnicodeDecodeError, json.JSONDecodeError) as error:
            self.fail("document", f"is not UTF-8 JSON: {error}")
            return self.problems
        if not isinstance(document, list) or not document:
            self.fail("document", "the top level must be a non-empty array")
            return self.problems
        top = [self.entry_entity(entry, "document") for entry in document]
        if self.kind == "template" and top != ["Kanban"]:
            self.fail("document", f"a template holds exactly one board, not {top}")
        if self.kind == "tutorial":
            if top[0] != "Kanban":
                self.fail("document", "the first entry must be a board")
            if any(entity not in ("Kanban", "Folder") for entity in top):
                self.fail("document", "only boards and folders are placed under the root")
        for index, entry in enumerate(document):
            self.check_entry(entry, f"entry {index}")
        return self.problems

    def entry_entity(self, entry, where: str) -> str | None:
        if not isinstance(entry, dict) or len(entry) != 1:
            self.fail(where, "an object entry has exactly one member")
            return None
        entity = next(iter(entry))
        if entity not in MEMBERS:
            self.fail(where, f"unknown entity {entity}")
            return None
        return entity

    def check_entry(self, entry, where: str, board_tags: set | None = None):
        entity = self.entry_entity(entry, where)
        if entity is None:
            return None
        values = entry[entity]
        where = f"{where} {entity} '{values.get('title', values.get('name', ''))}'"
        uri = values.get("objectIDURI")
        if not isinstance(uri, str) or not re.fullmatch(
                rf"x-pinwheels://[0-9A-F]{{32}}/{entity}/p\d+", uri):
            self.fail(where, f"bad objectIDURI {uri!r}")
        elif uri in self.seen:
            # Only a tag is mentioned twice: on its board and on each of its cards.
            if entity != "Tag" or self.seen[uri] != values:
                self.fail(where, f"objectIDURI {uri} names two different objects")
            if board_tags is not None and uri not in board_tags:
                self.fail(where, "a card carries a tag of another board")
            return uri
        else:
            self.seen[uri] = values
            if entity == "Tag" and board_tags is not None:
                self.fail(where, "a card carries a tag that is not one of its board's tags")

        attributes, relationships = MEMBERS[entity]
        expected = set(attributes) | relationships | {"objectIDURI"}
        if set(values) != expected:
            missing, extra = expected - set(values), set(values) - expected
            self.fail(where, f"members differ: missing {sorted(missing)}, extra {sorted(extra)}")
        for key, kind in attributes.items():
            self.check_value(values.get(key), kind, f"{where}.{key}")
        if "colour" in values and isinstance(values["colour"], int) and not (
                0 <= values["colour"] < PALETTE_SIZE):
            self.fail(where, "colour outside the palette")

        if entity == "Kanban":
            tag_uris = {self.check_entry(tag, f"{where} tags") for tag in values.get("tags", [])}
            used: set = set()
            for column in values.get("column", []):
                for card in self.entries_of(column, "KanbanColumn", "item"):
                    for tag in self.entries_of(card, "ListItem", "tags"):
                        used.add(self.uri_of(tag))
            for column in values.get("column", []):
                self.check_entry(column, f"{where} column", tag_uris)
            # A tag that no card carries is removed at the store's next save.
            for uri in tag_uris - used - {None}:
                self.fail(where, f"tag {uri} is on no card")
        else:
            for relationship in relationships:
                for child in values.get(relationship, []):
                    self.check_entry(child, f"{where} {relationship}", board_tags)
        for relationship in relationships:
            members = values.get(relationship)
            if not isinstance(members, list):
                self.fail(where, f"{relationship} must be an array")
                continue
            for member in members:
                child = next(iter(member)) if isinstance(member, dict) and member else None
                if child not in RELATED_ENTITIES[relationship]:
                    self.fail(where, f"{relationship} may not hold {child}")
        if entity == "ListItem":
            self.check_card(values, where)
        return uri

    @staticmethod
    def entries_of(entry, entity: str, relationship: str) -> list:
        if isinstance(entry, dict) and isinstance(entry.get(entity), dict):
            members = entry[entity].get(relationship, [])
            return members if isinstance(members, list) else []
        return []

    @staticmethod
    def uri_of(entry) -> str | None:
        if isinstance(entry, dict) and len(entry) == 1:
            values = next(iter(entry.values()))
            if isinstance(values, dict):
                return values.get("objectIDURI")
        return None

    def check_value(self, value, kind, where: str) -> None:
        kinds = kind if isinstance(kind, tuple) else (kind,)
        for option in kinds:
            if option is None and value is None:
                return
            if option == "date" and isinstance(value, str) and DATE_PATTERN.match(value):
                return
            if option is bool and isinstance(value, bool):
                return
            if option in (int, str, dict) and isinstance(value, option) and not isinstance(
                    value, bool):
                return
        self.fail(where, f"value {value!r} does not fit")

    def check_card(self, card: dict, where: str) -> None:
        notes = card.get("attributedNotes")
        if not isinstance(notes, dict):
            return
        text, runs = notes.get("string"), notes.get("runs")
        if not isinstance(text, str) or not isinstance(runs, list) or set(notes) != {
                "string", "runs"}:
            self.fail(where, "the notes must hold exactly 'string' and 'runs'")
            return
        if text.split("\n")[0] != card.get("title"):
            self.fail(where, "the title differs from the first line of the notes")
        position = 0
        struck = []
        for run in runs:
            span = run.get("range", {}) if isinstance(run, dict) else {}
            location, length = span.get("location"), span.get("length")
            if location != position or not isinstance(length, int) or length <= 0:
                self.fail(where, f"run {span} leaves a gap or overlaps at {position}")
                return
            position += length
            attributes = run.get("attributes")
            if not isinstance(attributes, dict) or not set(attributes) <= RUN_KEYS:
                self.fail(where, f"run attributes {attributes} use unknown keys")
                continue
            style = attributes.get("NOTESTYLENAME")
            if style is not None and style not in STYLE_NAMES:
                self.fail(where, f"unknown style {style!r}")
            if "isChecklistChecked" in attributes and not isinstance(
                    attributes["isChecklistChecked"], bool):
                self.fail(where, "a checklist state must be true or false")
            struck.append(attributes.get("NSStrikethrough", 0))
        if position != utf16_length(text):
            self.fail(where, f"runs cover {position} of {utf16_length(text)} UTF-16 code units")
        done = card.get("done")
        if done and (card.get("doneDate") is None or not struck or set(struck) != {1}):
            self.fail(where, "a done card needs a done date and a strike-through over all of it")
        if not done and (card.get("doneDate") is not None or any(struck)):
            self.fail(where, "a card that is not done has no done date and no strike-through")
        if card.get("archived") and not done:
            self.fail(where, "an archived card must be done")
        due = card.get("dueDate")
        if due is not None and not done:
            if self.kind == "template":
                self.fail(where, "a template card that is not done may not have a due date")
            elif due < EARLIEST_SHIPPED_DUE_DATE:
                self.fail(where, f"due date {due} will turn overdue after shipping")


# ---------------------------------------------------------------------------


def build_all() -> dict[Path, bytes]:
    outputs: dict[Path, bytes] = {}
    sources = sorted(SOURCE_DIR.rglob("*.txt"))
    if not sources:
        raise ContentError(f"no sources found in {SOURCE_DIR}")
    for source in sources:
        relative = source.relative_to(SOURCE_DIR).with_suffix(EXTENSION)
        kind = "template" if relative.parts[0] == "Templates" else "tutorial"
        if kind == "template" and len(relative.parts) != 3:
            raise ContentError(f"{relative}: templates live in Templates/<Category>/")
        document = parse_source(source)
        writer = EntryWriter(relative.as_posix(), document)
        data = serialise([writer.entry(node) for node in document.entries])
        problems = Validator(relative.as_posix(), kind).run(data)
        if problems:
            raise ContentError("\n".join(problems))
        outputs[OUTPUT_DIR / relative] = data
    if OUTPUT_DIR / "introduction_tutorial.Pinwheels" not in outputs:
        raise ContentError("the tutorial source introduction_tutorial.txt is missing")
    blank = OUTPUT_DIR / "Templates" / "Basic" / "blank.Pinwheels"
    if blank not in outputs:
        raise ContentError("the template Templates/Basic/blank is missing")
    return outputs


def stale_outputs(outputs: dict[Path, bytes]) -> list[Path]:
    stale = [path for path, data in outputs.items()
             if not path.exists() or path.read_bytes() != data]
    shipped = set((OUTPUT_DIR / "Templates").rglob("*" + EXTENSION))
    return stale + sorted(shipped - set(outputs))


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--check", action="store_true",
                        help="write nothing; fail when resources/ differs from the sources")
    arguments = parser.parse_args()
    try:
        outputs = build_all()
    except ContentError as error:
        print(error, file=sys.stderr)
        return 1
    stale = stale_outputs(outputs)
    if arguments.check:
        for path in stale:
            print(f"out of date: {path.relative_to(REPO_ROOT)}", file=sys.stderr)
        return 1 if stale else 0
    for path in stale:
        if path in outputs:
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_bytes(outputs[path])
            print(f"wrote {path.relative_to(REPO_ROOT)}")
        else:
            path.unlink()
            print(f"removed {path.relative_to(REPO_ROOT)}")
    print(f"{len(outputs)} documents, {len(stale)} changed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
