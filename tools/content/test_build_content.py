"""Tests of the content generator: python3 -m unittest discover -s tools/content"""

import copy
import json
import tempfile
import unittest
from pathlib import Path

import build_content as content


def small_board_document() -> list:
    board = content.Board("Plan", colour=2, tags=[("Urgent", 0), ("Later", 4)])
    board.columns.append(content.Column("To do", [
        content.Card([content.Line("Call the 𝄞 shop", "title"), content.Line("Ask", "body"),
                      content.Line("Soon", "body"), content.Line("Milk", None, False)],
                     tags=["Urgent", "Later"]),
        content.Card([content.Line("Paid", "title")], tags=["Urgent"], done_date=""),
    ]))
    writer = content.EntryWriter("Templates/Test/Plan.Pinwheels", content.Document())
    return [writer.entry(board)]


def problems_of(entries: list, kind: str = "template") -> list:
    return content.Validator("test", kind).run(content.serialise(entries))


def first_card(entries: list) -> dict:
    return entries[0]["Kanban"]["column"][0]["KanbanColumn"]["item"][0]["ListItem"]


class RichTextTests(unittest.TestCase):
    def test_runs_count_utf16_and_merge_equal_neighbours(self):
        notes = first_card(small_board_document())["attributedNotes"]
        # The clef is outside the Basic Multilingual Plane: two code units.
        self.assertEqual([run["range"] for run in notes["runs"]], [
            {"location": 0, "length": 17}, {"location": 17, "length": 9},
            {"location": 26, "length": 4}])
        self.assertEqual([run["attributes"] for run in notes["runs"]], [
            {"NOTESTYLENAME": "title"}, {"NOTESTYLENAME": "body"}, {"isChecklistChecked": False}])

    def test_done_card_is_struck_through_and_dated(self):
        card = small_board_document()[0]["Kanban"]["column"][0]["KanbanColumn"]["item"][1]
        values = card["ListItem"]
        self.assertTrue(values["done"])
        self.assertEqual(values["doneDate"], content.DEFAULT_DATE)
        self.assertEqual(values["attributedNotes"]["runs"][0]["attributes"]["NSStrikethrough"], 1)


class ValidatorTests(unittest.TestCase):
    def test_written_document_is_valid(self):
        entries = small_board_document()
        self.assertEqual(problems_of(entries), [])
        uris = json.dumps(entries).count('"objectIDURI"')
        self.assertEqual(uris, 1 + 1 + 2 + 2 + 3)  # board, column, cards, tags, tag mentions

    def test_broken_documents_are_refused(self):
        def broken(change) -> list:
            entries = copy.deepcopy(small_board_document())
            change(entries)
            return problems_of(entries)

        def gap(entries):
            first_card(entries)["attributedNotes"]["runs"][1]["range"]["location"] += 1

        def short_runs(entries):
            first_card(entries)["attributedNotes"]["runs"][-1]["range"]["length"] -= 1

        def foreign_key(entries):
            first_card(entries)["attributedNotes"]["runs"][0]["attributes"]["font"] = "Sans"

        def missing_export(entries):
            del entries[0]["Kanban"]["export"]

        def null_done(entries):
            first_card(entries)["done"] = None

        def reused_uri(entries):
            column = entries[0]["Kanban"]["column"][0]["KanbanColumn"]
            column["item"][1]["ListItem"]["objectIDURI"] = first_card(entries)["objectIDURI"]

        def foreign_tag(entries):
            tags = first_card(entries)["tags"]
            tag = dict(tags[0]["Tag"])  # the board holds the same object
            tag["objectIDURI"] = tag["objectIDURI"].replace("/p1", "/p9")
            tags[0] = {"Tag": tag}

        def unused_tag(entries):
            first_card(entries)["tags"].pop()

        def due_date(entries):
            first_card(entries)["dueDate"] = "2099-01-01 09:00:00"

        def unstruck_done(entries):
            card = entries[0]["Kanban"]["column"][0]["KanbanColumn"]["item"][1]["ListItem"]
            card["attributedNotes"]["runs"][0]["attributes"].pop("NSStrikethrough")

        for change in (gap, short_runs, foreign_key, missing_export, null_done, reused_uri,
                       foreign_tag, unused_tag, due_date, unstruck_done):
            with self.subTest(change.__name__):
                self.assertNotEqual(broken(change), [])

    def test_tutorial_starts_with_a_board_and_keeps_due_dates_far_off(self):
        entries = small_board_document()
        self.assertNotEqual(problems_of([{"Folder": {}}] + entries, "tutorial"), [])
        first_card(entries)["dueDate"] = "2099-01-01 09:00:00"
        self.assertEqual(problems_of(entries, "tutorial"), [])
        first_card(entries)["dueDate"] = "2030-01-01 09:00:00"
        self.assertNotEqual(problems_of(entries, "tutorial"), [])


class SourceFormatTests(unittest.TestCase):
    def parse(self, text: str) -> content.Document:
        with tempfile.TemporaryDirectory() as folder:
            path = Path(folder) / "case.txt"
            path.write_text(text, encoding="utf-8")
            return content.parse_source(path)

    def test_cards_lines_and_options(self):
        document = self.parse("@board B\n@tag T = 3\n@column C\n"
                              "@card tags=T | priority | collapsed\nHead\n## Part\n[x] a\n[ ] b\n"
                              "text\n@folder F\n@list L\n@item done\nBread\n@end\n")
        board, folder = document.entries
        card = board.columns[0].cards[0]
        self.assertEqual([(line.style, line.checked) for line in card.lines], [
            ("title", None), ("header", None), (None, True), (None, False), ("body", None)])
        self.assertTrue(card.priority and not card.expanded)
        self.assertTrue(folder.children[0].items[0].done)

    def test_mistakes_are_reported_with_their_line(self):
        for text, message in (("@board B\n@column C\n@card tags=X\nA\n", "not a tag"),
                              ("@board B\n@column C\n@card archived\nA\n", "must also be done"),
                              ("@board B\n@colour 9\n", "outside"),
                              ("@folder F\n", "not closed"),
                              ("@board B\n@columns C\n", "unknown directive")):
            with self.subTest(text):
                with self.assertRaisesRegex(content.ContentError, message):
                    document = self.parse(text)
                    content.EntryWriter("x", document).entry(document.entries[0])


class ShippedContentTests(unittest.TestCase):
    def test_every_source_builds_into_a_valid_document(self):
        outputs = content.build_all()
        templates = [path for path in outputs if "Templates" in path.parts]
        self.assertGreaterEqual(len(templates), 10)
        self.assertEqual({path.parent.name for path in templates}, {"Basic", "Work", "Personal"})


if __name__ == "__main__":
    unittest.main()
