"""What both editions' exchange probes print, read back, and what their answers should be.

Imported by tests/windows/test_exchange.py and tests/linux/test_curl_exchange.py.
"""

import urllib.parse

TOO_LARGE = "The server's answer is larger than 16 MB. It was not read to the end."
MIB = 1024 * 1024
# The only headers a request carries, and the ones whose values both editions share.
FORM_TYPE = "application/x-www-form-urlencoded"
USER_AGENT = "TarnUploader2.0"


class Call:
    """What the probe reported for one PostRequest or logon."""

    def __init__(self):
        self.boxes = []
        self.result = None
        self.failure = None
        self.logon = None
        self.elapsed = None
        self.session_open = None


def text(hex_text):
    return "" if hex_text == "-" else bytes.fromhex(hex_text).decode("utf-8")


def parse_calls(output):
    """One Call per PostRequest (or logon) in the probe's output, in order."""
    calls, call = [], Call()
    for line in output.decode("ascii").splitlines():
        kind, *fields = line.split(" ")
        if kind == "BOX":
            call.boxes.append(text(fields[0]))
        elif kind == "RESULT":
            call.result = text(fields[1])
        elif kind == "SUMMARY":
            call.result = (int(fields[0]), fields[1])
        elif kind == "FAILURE":
            call.failure = (int(fields[0]), text(fields[1]))
        elif kind == "LOGON":
            call.logon = (int(fields[0]), text(fields[1]), text(fields[2]))
        elif kind == "ELAPSED":
            call.elapsed = float(fields[0])
        elif kind == "SESSION":
            call.session_open = fields[0] == "1"
            calls.append(call)
            call = Call()
    return calls


def fnv1a(units):
    value = 0xCBF29CE484222325
    for unit in units:
        for byte in (unit & 0xFF, unit >> 8):
            value = ((value ^ byte) * 0x100000001B3) % (1 << 64)
    return f"{value:016x}"


def summary_of(body):
    units = body.decode("utf-8").encode("utf-16-le")
    return (len(units) // 2, fnv1a(int.from_bytes(units[i : i + 2], "little")
                                   for i in range(0, len(units), 2)))


def cache_busting_numbers(first_second, last_second):
    """The numbers the generator gives when seeded with any second of the window."""
    numbers = set()
    for seed in range(first_second, last_second + 1):
        numbers.add(((seed * 214013 + 2531011) % (1 << 32)) >> 16 & 0x7FFF)
    return numbers


def form(value):
    return urllib.parse.quote(value, safe="")


# Credentials that must travel form-encoded in UTF-8 and reach the service unchanged.
CREDENTIALS = [
    ("jörg", "pässwörd€"),
    ("a&b=c", "100% +#x y"),
    ("user&password=forged", "%s%d"),
    ("名前", "😀/\\?'\""),
]

# Answers whose text must come back as it was sent, cut at a NUL: (name, status, body, text).
ANSWER_TEXTS = [
    ("zero byte cuts", 200, b"before\x00after", "before"),
    ("leading zero byte", 200, b"\x00after", ""),
    ("utf-8 decoded", 200, "grüße € 😀".encode(), "grüße € 😀"),
    ("404 page", 404, b"<h1>Not Found</h1>", "<h1>Not Found</h1>"),
    ("500 page", 500, b"<h1>Server Error</h1>", "<h1>Server Error</h1>"),
]

BODY_SIZES = [0, 1, 10238, 10239, 10240, 20479, 100000]
# (size, accepted) around the answer cap.
CAP_CASES = [(16 * MIB, True), (16 * MIB + 1, False), (20 * 1000 * 1000, False)]
