"""The service misbehaving, on the redirect call and on the logon call: refused connections,
a reset in the middle of the body, no answer at all, an answer or its headers trickled byte by
byte, an error page, a 20 MB answer, malformed UTF-8 and a NUL before the fields.

Each case starts with a remembered logon in settings.bin and the window showing it; the user
types a new password, keeps "Remember Logon Info" checked and presses Logon. The service
never accepts that password, so the remembered logon must survive the attempt. Where the
answers still carry valid fields, the right password is typed and the logon goes through."""
import dataclasses
import sys
from pathlib import Path

from faultrun import (ACCOUNT, CONNECT_FAILED, TOO_LARGE, UNAVAILABLE, WRONG_PASSWORD, AppRun,
                      CaseRecord, check, explorer_opened, guard_saved_file, run_case)
from logonapp import NOBODY, REDIRECT1, REDIRECT2, WEBAPP, WEBAPP_URL, SavedFile, Suite, ini

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools" / "standin"))
from service import REDIRECT_PATH, Response, field_page, sized_body  # noqa: E402

# Invalid UTF-8 of every kind: a lone continuation byte, a cut sequence, an overlong form,
# an encoded surrogate, bytes that never occur.
MALFORMED = b"\x80\xc3\x28\xe2\x82\xc0\xaf\xed\xa0\x80\xf8\x88\x80\x80\x80\xfe\xff"
TIMEOUT_BOX_SECONDS = 35.0
# Wine's texts for the error codes of a reset connection and of a receive time-out.
RESET = "Connection reset by peer."
TIMED_OUT = "The connection with the server has been terminated."
NO_ANSWER_IN_TIME = "The service did not answer in time."

REDIRECT_FIELDS = [("RETURN_WEBAPPURL", WEBAPP_URL)]
LOGON_FIELDS = [("RETURN_STATUS", "0"), ("RETURN_SESSIONID", "S0123")]


def answers(fields):
    """The misbehaving answers; those that still carry fields carry these."""
    page = field_page(fields)
    return {
        "resets mid-body": Response(body=sized_body(8000) + page, reset_after=4000),
        "answers 500": Response(500, b"<html><body>Internal Server Error</body></html>"),
        "answers 20 MB": Response(body=sized_body(20 * 1024 * 1024)),
        "answers malformed UTF-8": Response(body=MALFORMED + page + MALFORMED),
        "answers a NUL before the fields": Response(body=b"\0" + page),
    }


@dataclasses.dataclass
class ServerCase:
    name: str
    hosts: tuple
    boxes: list  # the texts of the boxes, in order; each with the exclamation icon
    closes: bool  # the logon went on to the launch and the program ended
    accepted: bool  # the service accepted the logon
    setup: object = None  # called before the logon to make the service misbehave
    timed: bool = False  # a box must end the wait within TIMEOUT_BOX_SECONDS
    limit: int = 0  # seconds an exchange may last, when shorter than the program's own limit


def redirect_cases():
    bad = answers(REDIRECT_FIELDS)
    three = (REDIRECT1,) * 3

    def misbehave(response):
        return lambda: Suite.service.configure(REDIRECT1, REDIRECT_PATH, response)

    return [
        ServerCase("refuses", (NOBODY,) * 3, [CONNECT_FAILED] * 3 + [UNAVAILABLE], False, False),
        ServerCase("resets mid-body", three, [RESET] * 3 + [UNAVAILABLE], False, False,
                   misbehave(bad["resets mid-body"])),
        # Host1 never answers; Host2 does, so the logon goes through after the time-out.
        ServerCase("hangs", (REDIRECT1, REDIRECT2), [TIMED_OUT], True, True,
                   misbehave(Response(hang=True)), timed=True),
        ServerCase("answers 500", three, [UNAVAILABLE], False, False,
                   misbehave(bad["answers 500"])),
        ServerCase("answers 20 MB", three, [TOO_LARGE] * 3 + [UNAVAILABLE], False, False,
                   misbehave(bad["answers 20 MB"])),
        ServerCase("answers malformed UTF-8", three, [], True, True,
                   misbehave(bad["answers malformed UTF-8"])),
        ServerCase("answers a NUL before the fields", three, [UNAVAILABLE], False, False,
                   misbehave(bad["answers a NUL before the fields"])),
    ]


def logon_cases():
    bad = answers(LOGON_FIELDS)

    def misbehave(response):
        return lambda: Suite.service.configure(WEBAPP, None, response)

    def unreachable_webapp():
        Suite.service.set_fields(REDIRECT1, REDIRECT_PATH,
                                 [("RETURN_WEBAPPURL", f"http://{NOBODY}/app")])

    # The logon call's failures leave no status: the logon did not happen, the window stays
    # open with "server unavailable", and the remembered logon survives.
    one = (REDIRECT1,)
    return [
        ServerCase("refuses", one, [CONNECT_FAILED, UNAVAILABLE], False, False,
                   unreachable_webapp),
        ServerCase("resets mid-body", one, [RESET, UNAVAILABLE], False, False,
                   misbehave(bad["resets mid-body"])),
        ServerCase("answers 500", one, [UNAVAILABLE], False, False,
                   misbehave(bad["answers 500"])),
        ServerCase("answers 20 MB", one, [TOO_LARGE, UNAVAILABLE], False, False,
                   misbehave(bad["answers 20 MB"])),
        ServerCase("answers malformed UTF-8", one, [], True, True,
                   misbehave(bad["answers malformed UTF-8"])),
        ServerCase("answers a NUL before the fields", one, [UNAVAILABLE], False, False,
                   misbehave(bad["answers a NUL before the fields"])),
        ServerCase("trickles its answer", one, [NO_ANSWER_IN_TIME, UNAVAILABLE], False, False,
                   misbehave(Response(body=sized_body(1000) + field_page(LOGON_FIELDS),
                                      trickle=0.5)), timed=True, limit=5),
        ServerCase("trickles its headers", one, [NO_ANSWER_IN_TIME, UNAVAILABLE], False, False,
                   misbehave(Response(body=field_page(LOGON_FIELDS), trickle_headers=0.5)),
                   timed=True, limit=5),
    ]

def run_server_case(record, case):
    Suite.service.reset_behaviour()
    Suite.shell.clear()
    saved = SavedFile()
    before = saved.write(*ACCOUNT)
    password = ACCOUNT[1] if case.accepted else WRONG_PASSWORD
    guard_saved_file(record, before, (ACCOUNT[0], password, True) if case.accepted else None)
    if case.setup:
        case.setup()
    limit = {"TARNFTP_TEST_EXCHANGE_SECONDS": str(case.limit)} if case.limit else None
    app = AppRun(record, ini(*case.hosts), limit)
    app.check_quiet_start()
    check(app.fields() == (ACCOUNT[0], ACCOUNT[1], True), "the remembered logon was not restored")
    app.enter(ACCOUNT[0], password, remember=True)
    settled = app.log_on(deadline=90 if case.timed else 60)

    expected = [(text, "exclamation") for text in case.boxes]
    if case.timed:
        bound = case.limit + 2 if case.limit else TIMEOUT_BOX_SECONDS
        check(settled.seconds_to_first_box is not None and
              settled.seconds_to_first_box <= bound,
              f"the first box came after {settled.seconds_to_first_box} s")
    check(settled.boxes == expected, f"expected boxes {expected}, got {settled!r}")
    if case.closes:
        check(settled.closed, f"expected the program to end after the logon, got {settled!r}")
        app.check_exit()
        explorer_opened(record, ACCOUNT[0], password)
    else:
        check(not settled.closed, f"expected the window to stay open, got {settled!r}")
        check(app.fields()[:2] == (ACCOUNT[0], password), "the entries changed")
        app.cancel()
        check(Suite.shell.take(0.3) is None, "the shell was handed something")


def run_all():
    records = []
    for call, cases in (("redirect call", redirect_cases()), ("logon call", logon_cases())):
        for case in cases:
            record = CaseRecord(f"server, {call}", case.name)
            records.append(run_case(record, lambda r, c=case: run_server_case(r, c)))
    Suite.service.reset_behaviour()
    return records
