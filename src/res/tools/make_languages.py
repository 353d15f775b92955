#!/usr/bin/env python3
"""Builds the program's languages from its texts.

Reads languages.def, strings.def (English, Windows-1252 with C escapes) and each other
language's lang/strings.<tag>.def (UTF-8), and writes into OUT:
  StringTables.inc       the string table of every language but English, as C++ entries in
                         the language's code page (English is compiled from strings.def)
  lang/<tag>.rc          the dialog templates and menus of one language, tagged with its LANGID
With --pseudo it also writes the test build's pseudo-language (qps-ploc): every English text
about 40% longer, in accented letters of code page 1252 and bracketed, formats kept.

A translation that lacks a text, names one English does not have, or changes a format's
specifiers is refused: the build stops and says which.
"""
import argparse
import math
import pathlib
import re
import sys

ENTRY = re.compile(r'^\s*(VESK_STRING|VESK_KEPT_STRING|VESK_TEMPLATE_TEXT|VESK_TEXT)\('
                   r'\s*(\w+)\s*,(?:\s*(\d+)\s*,)?\s*("(?:[^"\\]|\\.)*")\s*\)\s*$')
LANGUAGE = re.compile(r'^\s*VESK_LANGUAGE\(\s*(\w+)\s*,\s*"([^"]+)"\s*,\s*(0x[0-9A-Fa-f]+)\s*,'
                      r'\s*(\d+)\s*\)\s*$')
SPECIFIER = re.compile(r'%[-+ #0]*\d*(?:\.\d+)?(?:hh|h|ll|l|L|z|j|t)?[diouxXeEfgGcspn%]')
PSEUDO = {'tag': 'qps-ploc', 'symbol': 'qps_ploc', 'langid': 0x0501, 'codepage': 1252}


def fail(message):
    sys.exit('make_languages: ' + message)


def unescape(literal, encoding):
    """The text of a C string literal; escapes are bytes, the rest is in `encoding`."""
    body = literal[1:-1]
    out = bytearray()
    i = 0
    while i < len(body):
        c = body[i]
        if c != '\\':
            out += c.encode(encoding)
            i += 1
            continue
        n = body[i + 1]
        if n == 'x':
            m = re.match(r'[0-9A-Fa-f]{1,2}', body[i + 2:])
            out.append(int(m.group(0), 16))
            i += 2 + len(m.group(0))
        elif n in '01234567':
            m = re.match(r'[0-7]{1,3}', body[i + 1:])
            out.append(int(m.group(0), 8))
            i += 1 + len(m.group(0))
        else:
            out += {'n': b'\n', 't': b'\t', '"': b'"', '\\': b'\\'}[n]
            i += 2
    return bytes(out).decode(encoding)


def read_entries(path, encoding):
    entries = {}
    order = []
    for number, line in enumerate(path.read_text(encoding=encoding).splitlines(), 1):
        if not line.strip() or line.lstrip().startswith('//'):
            continue
        m = ENTRY.match(line)
        if not m:
            fail(f'{path}:{number}: not an entry: {line}')
        kind, name, ident, literal = m.groups()
        if name in entries:
            fail(f'{path}:{number}: {name} twice')
        entries[name] = (kind, int(ident) if ident else None, unescape(literal, encoding))
        order.append(name)
    return entries, order


def literal(text, codepage, rc):
    """`text` as a C or resource-script literal of its code page's bytes (octal escapes)."""
    out = []
    for byte in text.encode(f'cp{codepage}'):
        if byte == 0x0A:
            out.append('\\n')
        elif byte == 0x22:
            out.append('""' if rc else '\\"')
        elif byte == 0x5C:
            # Also the second byte of many double-byte characters: an escape of its own.
            out.append('\\134')
        elif 0x20 <= byte < 0x7F:
            out.append(chr(byte))
        else:
            out.append(f'\\{byte:03o}')
    return '"' + ''.join(out) + '"'


PSEUDO_LETTERS = str.maketrans('aceinosuyzACDEINOSUYZ', 'àçéîñöšüýžÀÇÐÉÎÑÖŠÜÝŽ')


def pseudo(text):
    """Windows' pseudo-locale's way: accented, about 40% longer, bracketed; formats, line
    breaks and access keys kept as they are."""
    if not text:
        return text
    pieces = []
    last = 0
    for m in SPECIFIER.finditer(text):
        pieces.append(text[last:m.start()].translate(PSEUDO_LETTERS))
        pieces.append(m.group(0))
        last = m.end()
    pieces.append(text[last:].translate(PSEUDO_LETTERS))
    body = ''.join(pieces)
    # An access key stays the letter it was, so that the keys still work.
    body = re.sub('&(.)', lambda m: '&' + m.group(1).translate(
        str.maketrans('àçéîñöšüýžÀÇÐÉÎÑÖŠÜÝŽ', 'aceinosuyzACDEINOSUYZ')), body)
    padding = max(1, math.ceil(len(text) * 0.4) - 3)
    return '[' + body + ' ' + '!' * padding + ']'


def specifiers(text):
    return [s for s in SPECIFIER.findall(text) if s != '%%']


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--res', required=True, type=pathlib.Path)
    parser.add_argument('--out', required=True, type=pathlib.Path)
    parser.add_argument('--pseudo', action='store_true')
    args = parser.parse_args()

    languages = []
    for line in (args.res / 'languages.def').read_text().splitlines():
        m = LANGUAGE.match(line)
        if m:
            languages.append({'symbol': m.group(1), 'tag': m.group(2),
                              'langid': int(m.group(3), 16), 'codepage': int(m.group(4))})
    english, order = read_entries(args.res / 'strings.def', 'cp1252')

    translations = {languages[0]['tag']: {n: e[2] for n, e in english.items()}}
    for language in languages[1:]:
        path = args.res / 'lang' / f'strings.{language["tag"]}.def'
        entries, _ = read_entries(path, 'utf-8')
        texts = {}
        for name, (kind, _, english_text) in english.items():
            if kind == 'VESK_KEPT_STRING':
                if name in entries:
                    fail(f'{path}: {name} is kept as it is in every language')
                texts[name] = english_text
                continue
            if name not in entries:
                fail(f'{path}: {name} is not translated')
            text = entries[name][2]
            if specifiers(text) != specifiers(english_text):
                fail(f'{path}: {name} has the formats {specifiers(text)}, English '
                     f'{specifiers(english_text)}')
            try:
                text.encode(f'cp{language["codepage"]}')
            except UnicodeEncodeError as error:
                fail(f'{path}: {name}: code page {language["codepage"]} cannot hold '
                     f'{text[error.start]!r}')
            texts[name] = text
        for name in entries:
            if name not in english:
                fail(f'{path}: {name} is not a text of strings.def')
        translations[language['tag']] = texts
    if args.pseudo:
        languages.append(PSEUDO)
        translations[PSEUDO['tag']] = {
            n: (e[2] if e[0] == 'VESK_KEPT_STRING' else pseudo(e[2])) for n, e in english.items()}

    (args.out / 'lang').mkdir(parents=True, exist_ok=True)
    shipped = [l for l in languages if l is not PSEUDO]
    write(args.out / 'StringTables.inc', tables_source(shipped[1:], english, order, translations) +
          'const Language kLanguages[] = {\n' + ''.join(
              language_entry(l, 'kStringTable' if l is shipped[0] else None) for l in shipped) +
          '};\n')
    if args.pseudo:
        write(args.out / 'PseudoStrings.inc',
              tables_source([PSEUDO], english, order, translations) +
              'const Language kPseudoLanguage = ' + language_entry(PSEUDO, None)[4:-2] + ';\n')

    for language in languages:
        texts = translations[language['tag']]
        lines = [f'// Generated by make_languages.py: the dialogs and menus in {language["tag"]}.',
                 '#include "dialogs/common.h"',
                 f'LANGUAGE 0x{language["langid"] & 0x3FF:02X}, 0x{language["langid"] >> 10:02X}',
                 f'#pragma code_page({language["codepage"]})']
        if language is languages[0]:
            lines.append('#define VESK_LAYOUT_ENGLISH 1')
        for name in order:
            if english[name][0] == 'VESK_TEMPLATE_TEXT':
                lines.append(f'#define {name} {literal(texts[name], language["codepage"], True)}')
        lines.append('#include "dialogs/templates.rc"')
        write(args.out / 'lang' / f'{language["tag"]}.rc', '\n'.join(lines) + '\n')


def tables_source(languages, english, order, translations):
    """The string tables of `languages` as C++ arrays of 8-bit texts of their code pages."""
    lines = ['// Generated by make_languages.py from the translations: do not edit.']
    for language in languages:
        texts = translations[language['tag']]
        lines.append(f'const StringEntry kStrings_{language["symbol"]}[] = {{')
        for name in order:
            kind, ident, _ = english[name]
            if kind != 'VESK_TEMPLATE_TEXT':
                lines.append(f'    {{{ident}, "{name}", '
                             f'{literal(texts[name], language["codepage"], False)}}},')
        lines.append('};')
    return '\n'.join(lines) + '\n'


def language_entry(language, table):
    table = table or f'kStrings_{language["symbol"]}'
    count = 'kStringCount' if table == 'kStringTable' else f'sizeof({table}) / sizeof({table}[0])'
    return (f'    {{"{language["tag"]}", 0x{language["langid"]:04X}, {language["codepage"]}, '
            f'{table}, static_cast<int>({count})}},\n')


def write(path, text):
    """Writes only a changed file, so that a configure run rebuilds nothing needlessly."""
    if not path.exists() or path.read_text(encoding='latin-1') != text:
        path.write_text(text, encoding='latin-1')


if __name__ == '__main__':
    main()
