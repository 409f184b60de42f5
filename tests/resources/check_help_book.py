#!/usr/bin/env python3
"""Reads the help book as any zip and HTML reader would: every page parses
with balanced elements, every link and contents entry names a file of the
book, every context the program opens is an ID of the contents, and every
popup topic the program shows has text."""
import posixpath
import re
import sys
import zipfile
from html.parser import HTMLParser

# Contexts the program opens by number: Help Topics (7), the help index (51),
# the main window (1) and its parts (3-6), the update dialog (55), and the
# windows of the context table that the program has.
REQUIRED_CONTEXTS = [1, 3, 4, 5, 6, 7, 51, 55,
                     14, 15, 21, 23, 24, 25, 26, 27, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39,
                     40, 41, 42, 43, 44, 45, 46, 52, 53, 54, 56]
# Popup files and the topics the program asks of them.
REQUIRED_TOPICS = {
    'Menus.txt': range(1, 45),
    'MainWindow.txt': range(3, 7),
    'ControlEditor.txt': [1081, 1206, 1122, 1, 2],
    'PasswordDlg.txt': [1070, 1074, 1150, 1, 2],
    'PasswordManager.txt': range(2, 15),
    'SearchDialog.txt': [1110, 1111, 1112, 1103, 1105, 1107, 1, 1222, 1039, 2],
    'AddNewFavorite.txt': [1087, 1095, 1, 2],
    'CreateFavorite.txt': [1087, 1095, 1, 2],
    'FavoritesManager.txt': [1139, 1086, 1, 2],
    'LDIFExport.txt': range(1, 8),
}
VOID = {'area', 'base', 'br', 'col', 'embed', 'hr', 'img', 'input', 'link', 'meta', 'param', 'source',
        'track', 'wbr'}
# Elements HTML lets a writer leave open (the contents and index files do).
OPTIONAL_END = {'li', 'p', 'dt', 'dd', 'option', 'tr', 'td', 'th'}

failures = []


def fail(text):
    failures.append(text)


class Page(HTMLParser):
    def __init__(self, name):
        super().__init__(convert_charrefs=True)
        self.name = name
        self.stack = []
        self.links = []
        self.params = []
        self.title = ''
        self._in_title = False

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if tag not in VOID:
            self.stack.append((tag, self.getpos()))
        for key in ('href', 'src'):
            if attrs.get(key):
                self.links.append(attrs[key])
        if tag == 'param':
            self.params.append((attrs.get('name', ''), attrs.get('value', '')))
        if tag == 'title':
            self._in_title = True

    def handle_endtag(self, tag):
        if tag in VOID:
            return
        if tag == 'title':
            self._in_title = False
        while self.stack and self.stack[-1][0] != tag and self.stack[-1][0] in OPTIONAL_END:
            self.stack.pop()
        if not self.stack or self.stack[-1][0] != tag:
            fail('%s: </%s> at line %d closes nothing open' % (self.name, tag, self.getpos()[0]))
            return
        self.stack.pop()

    def handle_data(self, data):
        if self._in_title:
            self.title += data

    def finish(self):
        self.close()
        left = [t for t, _ in self.stack if t not in OPTIONAL_END]
        if left:
            fail('%s: left open: %s' % (self.name, ', '.join(left)))


def parse(book, name):
    try:
        text = book.read(name).decode('utf-8')
    except UnicodeDecodeError as e:
        fail('%s: not UTF-8 (%s)' % (name, e))
        return None
    page = Page(name)
    page.feed(text)
    page.finish()
    return page


def resolves(names, base, link):
    if re.match(r'^(https?|mailto):', link):
        return True
    target = link.split('#', 1)[0]
    if not target:
        return True
    return posixpath.normpath(posixpath.join(posixpath.dirname(base), target)) in names


def topics_of(text):
    topics, current = {}, None
    for line in text.splitlines():
        m = re.match(r'^\s*\.topic\s+(\d+)\s*$', line)
        if m:
            current = int(m.group(1))
            if current in topics:
                fail('topic %d twice' % current)
            topics[current] = ''
        elif current is not None:
            topics[current] += line.strip()
    return topics


def main(path):
    with zipfile.ZipFile(path) as book:
        if book.testzip() is not None:
            fail('a damaged member: %s' % book.testzip())
        names = set(book.namelist())
        for needed in ('arbolite.hhp', 'arbolite.hhc', 'arbolite.hhk', 'welcome.htm'):
            if needed not in names:
                fail('the book lacks ' + needed)
        project = book.read('arbolite.hhp').decode('utf-8')
        options = dict(re.findall(r'^([A-Za-z ]+)=(.*)$', project, re.M))
        for key in ('Contents file', 'Index file', 'Default topic'):
            if options.get(key, '').strip() not in names:
                fail('project: %s names no file of the book' % key)
        files = project.split('[FILES]', 1)[1].split() if '[FILES]' in project else []
        for f in files:
            if f not in names:
                fail('project lists %s, not in the book' % f)

        pages = sorted(n for n in names if n.endswith(('.htm', '.html', '.hhc', '.hhk')))
        contents_ids = {}
        for name in pages:
            page = parse(book, name)
            if page is None:
                continue
            if name.endswith(('.htm', '.html')) and not page.title.strip():
                fail('%s: no title' % name)
            for link in page.links:
                if not resolves(names, name, link):
                    fail('%s: link %s leads nowhere' % (name, link))
            local = None
            for key, value in page.params:
                if key == 'Local':
                    local = value
                    if not resolves(names, name, value):
                        fail('%s: entry %s leads nowhere' % (name, value))
                if key == 'ID' and name == 'arbolite.hhc':
                    contents_ids[int(value)] = local
        for context in REQUIRED_CONTEXTS:
            if context not in contents_ids:
                fail('context %d is no ID of the contents' % context)
        for popup, wanted in REQUIRED_TOPICS.items():
            member = 'popups/' + popup
            if member not in names:
                fail('the book lacks ' + member)
                continue
            topics = topics_of(book.read(member).decode('utf-8'))
            for n in wanted:
                if not topics.get(n):
                    fail('%s: topic %d has no text' % (popup, n))
    for f in failures:
        print('FAIL', f)
    print('%s: %d pages, %d contexts, %d failures' % (path, len(pages), len(contents_ids), len(failures)))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1]))
