#!/usr/bin/env python3
"""Copies a C++ source with its narrow literals already in GBK.

The project compiles with -fexec-charset=GBK, which g++ supports and clang
(libFuzzer's compiler) rejects. So that the fuzzers run the very bytes the
program ships, every ordinary "..." literal that holds non-ASCII text is
rewritten with the GBK bytes spelled as \\xNN escapes; the copy then means
the same to clang with the default UTF-8 execution charset. Prefixed literals
(u"", U"", L"", u8"", raw strings) are left as they are: the execution
charset does not touch them. Comments stay UTF-8.

usage: gbk_literals.py IN OUT
"""
import os
import sys

PREFIXES = {"u", "U", "L", "u8"}
HEX = set("0123456789abcdefABCDEF")


class Unsupported(Exception):
    pass


def ident_char(c):
    return c.isalnum() or c == "_"


def prefix_before(src, i):
    """The identifier characters directly before position i."""
    j = i
    while j > 0 and ident_char(src[j - 1]):
        j -= 1
    return src[j:i]


def to_gbk_body(body, line):
    """A literal's body with its non-ASCII characters as GBK escapes."""
    out = []
    after_hex = False  # the last thing written was a \xNN escape of ours
    k = 0
    while k < len(body):
        c = body[k]
        if ord(c) < 0x80:
            if c == "\\":
                # Keep the source's own escape whole (the character after the
                # backslash is ASCII in any escape we can meet here).
                out.append(body[k:k + 2])
                k += 2
                after_hex = False
                continue
            if after_hex and c in HEX:
                out.append('" "')  # end the literal so the digit is not read into the escape
            out.append(c)
            after_hex = False
            k += 1
            continue
        try:
            data = c.encode("gbk")
        except UnicodeEncodeError:
            raise Unsupported("line %d: %r has no GBK form" % (line, c))
        out.append("".join("\\x%02x" % b for b in data))
        after_hex = True
        k += 1
    return "".join(out)


def convert(src):
    out = []
    i = 0
    n = len(src)
    while i < n:
        c = src[i]
        if src.startswith("//", i):
            j = src.find("\n", i)
            j = n if j < 0 else j
            out.append(src[i:j])
            i = j
        elif src.startswith("/*", i):
            j = src.find("*/", i + 2)
            if j < 0:
                raise Unsupported("unterminated comment")
            out.append(src[i:j + 2])
            i = j + 2
        elif c == '"' or c == "'":
            prefix = prefix_before(src, i)
            line = src.count("\n", 0, i) + 1
            if c == '"' and prefix.endswith("R") and prefix[:-1] in PREFIXES | {""}:
                # Raw string: R"delim( ... )delim"
                open_paren = src.find("(", i)
                delim = src[i + 1:open_paren]
                end = src.find(")" + delim + '"', open_paren)
                if open_paren < 0 or end < 0:
                    raise Unsupported("line %d: unterminated raw string" % line)
                end += len(delim) + 2
                body = src[i:end]
                if prefix == "R" and any(ord(ch) >= 0x80 for ch in body):
                    raise Unsupported("line %d: non-ASCII raw string" % line)
                out.append(body)
                i = end
                continue
            if c == "'" and prefix and prefix not in PREFIXES:
                out.append(c)  # digit separator (1'000) or the like
                i += 1
                continue
            # Ordinary or prefixed literal: find its end, honouring escapes.
            j = i + 1
            while j < n and src[j] != c:
                if src[j] == "\\":
                    j += 1
                elif src[j] == "\n":
                    raise Unsupported("line %d: unterminated literal" % line)
                j += 1
            body = src[i + 1:j]
            if prefix in PREFIXES or all(ord(ch) < 0x80 for ch in body):
                out.append(src[i:j + 1])
            elif c == "'":
                raise Unsupported("line %d: non-ASCII character literal" % line)
            else:
                out.append('"' + to_gbk_body(body, line) + '"')
            i = j + 1
        else:
            out.append(c)
            i += 1
    return "".join(out)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    src_path, dst_path = sys.argv[1], sys.argv[2]
    with open(src_path, encoding="utf-8", newline="") as f:
        src = f.read()
    try:
        text = convert(src)
    except Unsupported as e:
        sys.exit("%s: %s" % (src_path, e))
    os.makedirs(os.path.dirname(os.path.abspath(dst_path)), exist_ok=True)
    tmp = dst_path + ".tmp"
    with open(tmp, "w", encoding="utf-8", newline="") as f:
        f.write(text)
    os.replace(tmp, dst_path)


if __name__ == "__main__":
    main()
