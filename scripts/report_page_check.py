"""Checks for scripts/report-page-in-browser.sh.

  report_page_check.py dom DOM.html TOTAL-DIARIO.CSV MOV-POR-HORA.CSV
      The tables of the page as the browser built it hold exactly the rows
      of the two CSV files (Windows-1252, every item quoted), the page
      has its two charts, and it names no other file.
  report_page_check.py png SHOT.png WIDTH HEIGHT
      A screenshot of that size that is not a blank image.

Exits 1 with a message on the first difference.
"""
import csv
import html.parser
import struct
import sys
import zlib


def fail(message):
    print("report page: " + message, file=sys.stderr)
    sys.exit(1)


class Tables(html.parser.HTMLParser):
    """The text of every cell of the body of each table with an id."""

    def __init__(self):
        super().__init__()
        self.tables = {}
        self.svgs = 0
        self.references = []
        self._table = None
        self._in_body = False
        self._cell = None

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        for name in ("src", "href"):
            if name in attrs:
                self.references.append(attrs[name])
        if tag == "svg":
            self.svgs += 1
        elif tag == "table" and "id" in attrs:
            self._table = self.tables.setdefault(attrs["id"], [])
        elif tag == "tbody" and self._table is not None:
            self._in_body = True
        elif tag == "tr" and self._in_body:
            self._end_cell()
            self._table.append([])
        elif tag == "td" and self._in_body:
            self._end_cell()
            self._cell = ""

    def _end_cell(self):
        # A cell's end tag may be left out, as HTML allows.
        if self._cell is not None:
            self._table[-1].append(self._cell)
            self._cell = None

    def handle_endtag(self, tag):
        if tag in ("td", "tr", "tbody"):
            self._end_cell()
        if tag == "tbody":
            self._in_body = False
        elif tag == "table":
            self._table = None

    def handle_data(self, data):
        if self._cell is not None:
            self._cell += data


def csv_rows(path):
    with open(path, encoding="cp1252", newline="") as f:
        rows = list(csv.reader(f))
    return rows[1:]  # the header row is the table's head


def check_dom(dom, daily, hourly):
    with open(dom, encoding="utf-8") as f:
        parser = Tables()
        parser.feed(f.read())
    if parser.svgs != 2:
        fail(f"{parser.svgs} charts, not 2")
    if parser.references:
        fail("refers to other files: " + ", ".join(parser.references))
    for table, path in (("tabela-total-diario", daily), ("tabela-mov-por-hora", hourly)):
        shown = parser.tables.get(table)
        expected = csv_rows(path)
        if shown is None:
            fail(f"no table {table}")
        if len(shown) != len(expected):
            fail(f"{table}: {len(shown)} rows, the CSV has {len(expected)}")
        for number, (row, want) in enumerate(zip(shown, expected), start=1):
            if row != want:
                fail(f"{table} row {number}: {row} where the CSV has {want}")
    if len(parser.tables["tabela-total-diario"]) < 100:
        fail("too few rows to be the sample archive")


def check_png(path, width, height):
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        fail(f"{path} is not a PNG image")
    size = struct.unpack(">II", data[16:24])
    if size != (width, height):
        fail(f"{path} is {size[0]} x {size[1]}, not {width} x {height}")
    pixels, at = b"", 8
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        if kind == b"IDAT":
            pixels += data[at + 8:at + 8 + length]
        at += 12 + length
    if len(set(zlib.decompress(pixels))) < 16:
        fail(f"{path} is nearly blank")


if __name__ == "__main__":
    if sys.argv[1] == "dom":
        check_dom(*sys.argv[2:5])
    else:
        check_png(sys.argv[2], int(sys.argv[3]), int(sys.argv[4]))
