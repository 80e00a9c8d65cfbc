#!/usr/bin/env python3
"""Writes the sheet's embedded template: the "ReportForm" value (int32 24,
int32 length, then the version-24 template stream) of one A4 page with the
seven shapes and fourteen captions the print action fills in.

Run from the repository root:  python3 tools/make_sheet_template.py
It writes sheet/resources/sheet_template.frf (2638 bytes).
"""
import struct
import sys

NO_COLOR = 0x1FFFFFFF
BUTTON_FACE = 0x8000000F

# (kind, name, left, top); shapes are 100 x 100, captions 60 x 18.
OBJECTS = [
    ("shape", "Shape1", 27, 16),
    ("shape", "Shape2", 27, 120),
    ("memo", "Width1", 134, 49),
    ("memo", "Height1", 134, 67),
    ("memo", "Width2", 134, 152),
    ("memo", "Height2", 134, 170),
    ("shape", "Shape3", 28, 224),
    ("shape", "Shape4", 28, 328),
    ("shape", "Shape5", 28, 432),
    ("shape", "Shape6", 27, 536),
    ("memo", "Width3", 132, 252),
    ("memo", "Height3", 132, 270),
    ("memo", "Width4", 136, 364),
    ("memo", "Height4", 136, 382),
    ("memo", "Width5", 136, 468),
    ("memo", "Height5", 136, 486),
    ("memo", "Width6", 136, 580),
    ("memo", "Height6", 136, 598),
    ("shape", "Shape7", 28, 640),
    ("memo", "Width7", 137, 685),
    ("memo", "Height7", 137, 703),
]


def u8(v): return struct.pack("<B", v)
def i16(v): return struct.pack("<h", v)
def u16(v): return struct.pack("<H", v)
def i32(v): return struct.pack("<i", v)
def u32(v): return struct.pack("<I", v)


def string(text):
    data = text.encode("cp1252")
    return u16(len(data)) + data + b"\0"


EMPTY_LIST = b"\0\0\0"


def page_record():
    return b"".join([
        i32(-1),            # current layout
        i32(9),             # A4
        i32(2100), i32(2969),
        i32(0), i32(0), i32(0), i32(0),  # margins
        u8(0),              # portrait
        i32(65535),         # no particular bin
        i16(0),             # PrintToPrevPage
        i16(-1),            # MarginsApply
        i32(0), i32(0),     # Columns, ColumnGap
        u8(0),              # ptReport
        string(""),         # Name
        u8(3),              # bsDialog
        string("Form"),
        u32(BUTTON_FACE),
        i32(220), i32(120), i32(380), i32(300),
        u8(4),              # poScreenCenter
        EMPTY_LIST,         # ScriptLines
    ])


def view_record(name, left, top, width, height, flags, tag):
    return b"".join([
        string(name),
        u8(2), u8(0),       # RecordVersion, RecordSubVersion
        i32(left), i32(top), i32(width), i32(height),
        u16(flags),
        u16(0),             # FrameTyp
        i32(1),             # FrameWidth 1
        u32(0),             # FrameColor
        u16(0),             # FrameStyle
        u32(NO_COLOR),      # FillColor
        i32(0x22E),         # DisplayFormat
        string(""),         # FormatText
        EMPTY_LIST,         # Memo
        EMPTY_LIST,         # ScriptLines
        i16(-1),            # Visible
        u16(0),             # Restrictions
        string(tag),
        i32(2), i32(1),     # GapX, GapY
        u8(0),              # BandAlign
    ])


def memo_tail():
    return b"".join([
        string("Arial"),
        i32(8),             # points
        u16(0),             # style
        u32(0),             # font colour
        u32(0),             # Alignment
        u16(1),             # character set
        i16(2),             # HighlightStyle
        u32(0),             # HighlightColor
        u32(0xFFFFFF),      # HighlightFillColor
        string(""),         # HighlightCondition
        i32(2),             # LineSpacing
        i32(0),             # CharSpacing
    ])


def template_stream():
    out = bytearray()
    out += u8(24)
    out += i16(0) + i16(0)  # KeepCurrentPrinter, TwoPass
    out += string("HP DeskJet 720C")
    out += u8(255) + page_record()
    for kind, name, left, top in OBJECTS:
        if kind == "shape":
            out += u8(10) + string("TfrShapeView")
            body = view_record(name, left, top, 100, 100, 1, "0;0;0;0;0;0") + u8(2)
        else:
            out += u8(0)
            body = view_record(name, left, top, 60, 18, 3, "") + memo_tail()
        out += u8(0)        # page index
        end = len(out) + 4 + len(body)
        out += i32(end) + body
    out += u8(254) + i16(-2) + i32(0) + i32(0) + i32(0)
    return bytes(out)


def main():
    stream = template_stream()
    form = i32(24) + i32(len(stream)) + stream
    assert len(stream) == 2630, len(stream)
    target = sys.argv[1] if len(sys.argv) > 1 else "sheet/resources/sheet_template.frf"
    with open(target, "wb") as f:
        f.write(form)
    print(f"{target}: {len(form)} bytes")


if __name__ == "__main__":
    main()
