#!/usr/bin/env python3
"""Holds printed PostScript, read back as text by ghostscript, against the
book's source: the pages must hold the words of the chosen sections, each as
often as the sections do, and nothing else; each page has a header with a
chosen pair's heading (its title and subtitle) and a footer "page i of n".

Usage: print_check.py TEXT_FILE BOOK_DIR FIRST LAST PLACEMENT
where TEXT_FILE is ghostscript's txtwrite output and PLACEMENT is below,
beside or none. Words are compared by their Hebrew letters: the pages hold
them in drawing order, the source in reading order.
"""
import collections
import re
import sys

HEBREW = re.compile('[\u05d0-\u05ea]+')
FOOTER = re.compile(r'page (\d+) of (\d+)')


def letters(token):
    return ''.join(HEBREW.findall(token))


def source_words(book, pair, with_commentary):
    """The words of a pair's paragraphs, as the reader shows them."""
    name = '%s/%03d.txt' % (book, 2 * pair - 1)
    words = []
    part = 'main'
    titles = []
    for raw in open(name, encoding='utf-8'):
        line = raw.strip()
        if line == '@commentary':
            part = 'commentary'
            continue
        if not line or line.startswith('#'):
            continue
        markup = ''
        if line.startswith('['):
            end = line.find(']')
            markup, line = line[1:end], line[end + 1:]
        # A rule or a spacer shows no text, whatever it carries.
        if 'rule=' in markup or 'spacer' in markup.split():
            continue
        tokens = [letters(t) for t in re.split(r'[\s\u05be-]+', line)]
        tokens = [t for t in tokens if t]
        # The heading: the title, then the subtitle.
        if part == 'main' and ('title' in markup.split() or 'subtitle' in markup.split()):
            titles = titles + tokens
        if part == 'main' or with_commentary:
            words.extend(tokens)
    return words, titles


def printed_pages(text):
    """Each page's lines, split after each footer."""
    pages, lines = [], []
    for line in text.splitlines():
        if not line.strip():
            continue
        lines.append(line)
        found = FOOTER.search(line)
        if found:
            pages.append((lines, int(found.group(1)), int(found.group(2))))
            lines = []
    return pages, lines


def main():
    text_file, book, first, last, placement = sys.argv[1:6]
    first, last = int(first), int(last)
    expected = collections.Counter()
    headings = []
    for pair in range(first, last + 1):
        words, titles = source_words(book, pair, placement != 'none')
        expected.update(words)
        headings.append(sorted(titles))
    pages, rest = printed_pages(open(text_file, encoding='utf-8', errors='replace').read())
    problems = []
    if not pages:
        problems.append('no page with a footer')
    if rest:
        problems.append('lines after the last footer: %r' % rest[:3])
    body = collections.Counter()
    for number, (lines, i, n) in enumerate(pages, 1):
        if (i, n) != (number, len(pages)):
            problems.append('page %d says "page %d of %d"' % (number, i, n))
        # The heading is drawn in drawing order: its words reversed.
        header = sorted(letters(t)[::-1] for t in lines[0].split() if letters(t))
        if header not in headings:
            problems.append('page %d has the header %r' % (number, lines[0]))
        for line in lines[1:-1]:
            body.update(letters(t)[::-1] for t in line.split() if letters(t))
    missing = expected - body
    extra = body - expected
    if missing:
        problems.append('missing words: %r' % list(missing.items())[:8])
    if extra:
        problems.append('words that are not the sections\': %r' % list(extra.items())[:8])
    if problems:
        print('\n'.join(problems))
        return 1
    print('%d pages, %d words' % (len(pages), sum(body.values())))
    return 0


if __name__ == '__main__':
    sys.exit(main())
