"""Reads a report file with an independent reader and compares it with the
rows the test expected (a JSON list of rows, row 0 the headings).
Usage: read_report.py FORMAT FILE EXPECTED.json [TITLE-FILE]
Prints OK, or what differs and exits 1."""
import json
import sys


def fail(message):
    print(message)
    sys.exit(1)


def read_delimited(path, delimiter):
    import csv
    with open(path, newline='', encoding='utf-8') as f:
        raw = f.read()
    if raw.startswith('\ufeff'):
        fail('byte-order mark')
    import io
    return [row for row in csv.reader(io.StringIO(raw, newline=''), delimiter=delimiter, strict=True)]


def html_text(element):
    return ''.join(element.itertext())


def read_html(path, title):
    import html5lib
    with open(path, 'rb') as f:
        data = f.read()
    parser = html5lib.HTMLParser(strict=False, namespaceHTMLElements=False)
    document = parser.parse(data, transport_encoding='utf-8')
    errors = [e[1] for e in parser.errors]
    if errors != ['expected-doctype-but-got-start-tag']:
        fail('parse errors: %r' % (errors,))
    found_title = document.find('.//title')
    if title is not None and (found_title is None or found_title.text != title):
        fail('title %r, expected %r' % (found_title.text if found_title is not None else None, title))
    rows = []
    for tr in document.iter('tr'):
        cells = [c for c in tr if c.tag in ('th', 'td')]
        if not rows and any(c.tag != 'th' for c in cells):
            fail('row 1 is not made of headings')
        rows.append([html_text(c) for c in cells])
    return rows


def unescape_xstring(text):
    # Cell texts keep control characters as _xHHHH_ (the workbook format's
    # own escape); this reader's version hands them out as they are stored.
    import re
    return re.sub(r'_x([0-9A-Fa-f]{4})_', lambda m: chr(int(m.group(1), 16)), text)


def read_xlsx(path, expected):
    import openpyxl
    from openpyxl.utils import get_column_letter
    book = openpyxl.load_workbook(path)
    sheet = book.worksheets[0]
    rows = []
    width = max((len(r) for r in expected), default=0)
    for r in range(1, len(expected) + 1):
        row = []
        for c in range(1, width + 1):
            value = sheet.cell(row=r, column=c).value
            row.append('' if value is None else unescape_xstring(str(value)))
        rows.append(row)
    if sheet.max_row > len(expected):
        fail('%d sheet rows, expected %d' % (sheet.max_row, len(expected)))
    for c in range(1, len(expected[0]) + 1):
        cell = sheet.cell(row=1, column=c)
        if cell.alignment.horizontal != 'center' or cell.alignment.vertical != 'center':
            fail('heading %d not centred: %r %r' % (c, cell.alignment.horizontal, cell.alignment.vertical))
        for side in ('left', 'right', 'top', 'bottom'):
            if getattr(cell.border, side).style != 'medium':
                fail('heading %d has no medium %s border' % (c, side))
    for c in range(1, width + 1):
        longest = max(len(r[c - 1]) if c - 1 < len(r) else 0 for r in expected)
        stored = sheet.column_dimensions[get_column_letter(c)].width
        if stored is None or stored < min(longest, 255) or stored > min(longest, 255) + 4:
            fail('column %d is %r wide for a longest text of %d' % (c, stored, longest))
    return rows


def main():
    kind, path, expected_path = sys.argv[1:4]
    title = None
    if len(sys.argv) > 4:
        with open(sys.argv[4], encoding='utf-8') as f:
            title = f.read()
    with open(expected_path, encoding='utf-8') as f:
        expected = json.load(f)
    if kind == 'csv':
        rows = read_delimited(path, ',')
    elif kind == 'tab':
        rows = read_delimited(path, '\t')
    elif kind == 'html':
        rows = read_html(path, title)
        # An HTML parser reads CR LF and a lone CR as LF, and an empty cell
        # holds the no-break space.
        expected = [[c.replace('\r\n', '\n').replace('\r', '\n') or '\xa0' for c in r] for r in expected]
    elif kind == 'xlsx':
        rows = read_xlsx(path, expected)
    else:
        fail('unknown kind ' + kind)
    if rows != expected:
        for i, (got, want) in enumerate(zip(rows, expected)):
            if got != want:
                fail('row %d: %r, expected %r' % (i, got, want))
        fail('%d rows, expected %d' % (len(rows), len(expected)))
    print('OK')


main()
