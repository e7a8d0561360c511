#!/usr/bin/env python3
"""Writes the seed corpus of the fuzzing harness into fuzz/corpus/ and its token
dictionary into fuzz/orvantis.dict.

Each input is two control bytes (see fuzz_job.h) followed by the bytes of a data file,
Shift-JIS unless the seed is about UTF-8. The files are committed; run this again only to
change them. Reproducers of faults found by fuzzing are added by hand, not here."""
import os

NO_RANGE = 7
CENSOR = 8
HIDE = 16
JSON = 0xC0

# The second byte: the files of --out.
PROGRAM_PALETTE = 1
GREY = 2
BANDS = 4
CSV = 0x20
EVERY_FILE = 0xE0


def reference(group):
    return group << 3  # group 1 by its name, 2 and 3 by number


def sjis(text):
    return text.encode("cp932")


def group_rows(name, count, step, outcome="死亡", cause="癌"):
    return "".join(f"{name},{step * (k + 1)},{outcome if k % 3 else '生存'},{cause}\r\n" for k in range(count))


# Two shown groups with deaths of two causes: every test and table runs on it.
COHORT = (
    "'group,days,outcome,cause\r\n"
    + group_rows("A", 10, 70)
    + group_rows("B", 9, 365, cause="肺炎")
    + "C,30,生存\r\nC,4400,死亡,心疾患\r\n"
)

SEEDS = {
    "cohort-text": ((NO_RANGE, CSV), sjis(COHORT)),
    "cohort-json-censor-hide": (JSON | CENSOR | HIDE | 0x20 | 1, sjis(COHORT)),
    "cohort-longest": (6, sjis(COHORT)),
    "cohort-minus-one-year-hide-all-cases": (HIDE | 4, sjis(COHORT)),
    "cohort-plus-five-years-json": (JSON | 3, sjis(COHORT)),
    "cohort-every-file-grey-bands-reference-2": ((NO_RANGE, EVERY_FILE | GREY | BANDS | reference(2)), sjis(COHORT)),
    "cohort-censor-every-file-competing": ((CENSOR | NO_RANGE, EVERY_FILE | PROGRAM_PALETTE), sjis(COHORT)),
    "cohort-censor-csv-bands-reference-by-name": ((CENSOR | 0x20 | 6, CSV | BANDS | reference(1)), sjis(COHORT)),
    "reference-beyond-groups": ((NO_RANGE, reference(3)), sjis("A,7,死亡,癌\r\nB,14,死亡,癌\r\n")),
    "rule1-no-comma": (NO_RANGE, sjis("12\r\nA 12 死亡\r\n")),
    "rule2-empty-group": (NO_RANGE, sjis(",12,死亡\r\n　 \",12,死亡\r\n")),
    "rule3-empty-days": (NO_RANGE, sjis("A,,死亡\r\n")),
    "rule4-days-not-numeric": (NO_RANGE, sjis("A,-5,死亡\r\nA,1e3,死亡\r\nA,１２,死亡\r\nA,12a,生存\r\n")),
    "rule5-over-long-period": (6, sjis("A,14560,死亡,癌\r\nA,14561,死亡,癌\r\nA,14561,死亡\r\nA,93184,生存\r\n")),
    "rule6-no-outcome": (NO_RANGE, sjis("A,12\r\nA,12,\r\n")),
    "rule7-no-cause": (NO_RANGE, sjis("A,100,死亡\r\nA,100,死因不明\r\nA,100, \r\n")),
    "trimmed-fields": (NO_RANGE, sjis(" \"A\"　,\" 12 \",死亡,　\"癌\"　\r\nA,\" \",生存\r\n")),
    "comments": (NO_RANGE, sjis("'comment\r\n'group,days\r\ngroup,days,outcome,cause\r\n'\r\n")),
    "empty-lines": (NO_RANGE, sjis("\r\n\r\nA,1,死亡,癌\r\n\n\n\r\r\nB,2,生存\r\n\r\n")),
    "cr-only-lines": (NO_RANGE, sjis("A,7,死亡,癌\rA,14,生存\r\rB,21,死亡\r")),
    "lf-only-lines": (NO_RANGE, sjis("A,7,死亡,癌\nA,14,生存\n\nB,21,死亡")),
    "nul-bytes": (NO_RANGE, b"A\x00,7,\x00" + sjis("死亡") + b",\x00\r\n\x00\x00\r\nB,\x0014," + sjis("生存")),
    "lone-lead-byte-at-line-end": (NO_RANGE, sjis("A,7,死亡,癌") + b"\x81\r\nB" + b"\x9f\r\nA,7," + sjis("死亡") + b"\xe0\n\xfc"),
    "lead-bytes-before-full-width-blank": (
        NO_RANGE,
        b"A\x81\x81\x40,7," + sjis("死亡") + b",\x9f\x40\x81\x40\r\n\xe0\x40\x81\x40,7,\xfc\x40\x81\x40\r\n",
    ),
    "21-groups-21-causes": (
        JSON | 6,
        sjis("".join(f"G{g},{g * 30},死亡,C{g}\r\n" for g in range(1, 22) for _ in range(8))),
    ),
    "long-lines": (
        NO_RANGE,
        sjis("A" * 300 + ",12,死亡,癌\r\n" + "B," + " " * 300 + "12,死亡\r\n" + "C,12,死亡," + "癌" * 2000 + "\r\n" + "," * 600 + "\r\n"),
    ),
    "huge-and-negative-days": (
        6,
        sjis(
            "A,99999999999999999999999999,死亡,癌\r\n"
            + "A,1" + "0" * 400 + ",死亡\r\n"
            + "A," + "0" * 400 + "12,死亡\r\n"
            + "A,-1,死亡\r\nA,1.5.3,死亡\r\nA,.,死亡\r\nA,14559.9,死亡\r\nA,0.0000001,死亡\r\n"
            + "A,4294967296,生存\r\nA,9" + "9" * 330 + ",生存\r\n"
        ),
    ),
    "utf8-without-bom": (NO_RANGE, (group_rows("A", 8, 30) + "B,12,死亡,𠮷\r\nB,12,死亡,🙂\r\n").encode("utf-8")),
    "utf8-with-bom": (JSON | NO_RANGE, b"\xef\xbb\xbf" + group_rows("A", 8, 30).encode("utf-8") + "B,\u300012,死亡\r\n".encode("utf-8")),
    "utf8-cut-at-end": (NO_RANGE, "A,12,死亡,癌\r\nA,14,死".encode("utf-8")[:-1]),
    "utf8-cut-at-line-end": (NO_RANGE, "A,12,死亡,癌\r\nA,14,死".encode("utf-8")[:-1] + "\r\nA,20,生存\r\n".encode("utf-8")),
}


# Tokens of the data file: separators, line ends, the outcome and cause words the loader looks
# for, blanks and quotes it trims, numbers at the loader's limits, the byte-order mark, and
# Shift-JIS lead bytes at the edges of their ranges.
TOKENS = {
    "comma": b",",
    "four_commas": b",,,,",
    "crlf": b"\r\n",
    "cr": b"\r",
    "lf": b"\n",
    "comment": b"'",
    "quote": b'"',
    "blank": b" ",
    "full_width_blank": sjis("\u3000"),
    "death_mark": sjis("死"),
    "death": sjis("死亡"),
    "alive": sjis("生存"),
    "unknown_cause": sjis("不明"),
    "cause": sjis("癌"),
    "overflow_name": b"20 over",
    "all_cases": b"all Cases",
    "days_cap": b"14560",
    "days_over_cap": b"14561",
    "days_week_limit": b"93184",
    "point": b".",
    "zeros": b"0000000000",
    "two_pow_31": b"2147483648",
    "two_pow_63": b"9223372036854775808",
    "bom": b"\xef\xbb\xbf",
    "lead_81": b"\x81",
    "lead_9f": b"\x9f",
    "lead_e0": b"\xe0",
    "lead_fc": b"\xfc",
    "utf8_death": "死亡".encode("utf-8"),
    "utf8_outside_cp932": "🙂".encode("utf-8"),
}


def dict_value(data):
    return "".join(chr(b) if 0x20 <= b < 0x7F and chr(b) not in '"\\' else f"\\x{b:02x}" for b in data)


def main():
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "..", "..", "examples", "data-sample.csv"), "rb") as f:
        SEEDS["data-sample"] = (NO_RANGE, f.read())
    for name, (control, data) in SEEDS.items():
        commands, outputs = control if isinstance(control, tuple) else (control, 0)
        with open(os.path.join(folder, name), "wb") as f:
            f.write(bytes([commands, outputs]) + data)
    with open(os.path.join(folder, "..", "orvantis.dict"), "w", encoding="ascii") as f:
        f.write("# Tokens of the Orvantis data file for AFL++ (-x); written by make_corpus.py.\n")
        for name, data in TOKENS.items():
            f.write(f'{name}="{dict_value(data)}"\n')


if __name__ == "__main__":
    main()
