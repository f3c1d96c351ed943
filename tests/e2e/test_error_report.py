#!/usr/bin/env python3
"""The error handler's fatal path, end to end: a program meets a fatal error inside a
function with line numbers; the user reads the description and the question, and on OK
the mailto address reaches the desktop's mail handler, here one of the test's own that
records it (registered for the session: a desktop configuration for xdg-open, or the Wine
prefix's registry for the shell). Whichever button was chosen, the program ends with exit
code 1 after the library's shut-down, which empties and removes the run's instance
folder."""

import os
import subprocess

import harness
from harness import NOTICE, WINE, WINE_LAUNCHER, PATIENCE, wait_until

FATAL = harness._configured("VELKAN_E2E_FATAL")
RECORDER = harness._configured("VELKAN_E2E_RECORDER")
SOURCE = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))),
                      "kelv", "fatal_program.cpp")
QUESTION = "Inviare rapporto di errore via email?"
MAILTO_KEY = r"HKCR\mailto"


def source_line(marker):
    """The line of the fixture's source that holds the marker."""
    with open(SOURCE, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            if marker in line:
                return number
    raise AssertionError("no line holds " + marker)


def windows(path):
    return ("Z:" if WINE else "") + path.replace("/", "\\")


class MailHandler:
    """The test's mailto handler: record_argument writes the address it is given."""

    def __init__(self, session):
        self.session = session
        self.output = os.path.join(session.workdir, "mailto.txt")
        if WINE:
            command = '"%s" "%s" "%%1"' % (windows(RECORDER), windows(self.output))
            self._reg("add", MAILTO_KEY, "/ve", "/d", "URL:MailTo Protocol", "/f")
            self._reg("add", MAILTO_KEY, "/v", "URL Protocol", "/d", "", "/f")
            self._reg("add", MAILTO_KEY + r"\shell\open\command", "/ve", "/d", command, "/f")
            # The session's prefix is its own: the handler stays for the session's other
            # error-report tests, each of which writes its own command.
        else:
            config = os.path.join(session.workdir, "config")
            data = os.path.join(session.workdir, "data")
            os.makedirs(os.path.join(data, "applications"))
            os.makedirs(config)
            with open(os.path.join(data, "applications", "recorder.desktop"), "w") as f:
                f.write("[Desktop Entry]\nType=Application\nName=Recorder\n"
                        "Exec=%s %s %%u\nMimeType=x-scheme-handler/mailto;\n"
                        % (RECORDER, self.output))
            with open(os.path.join(config, "mimeapps.list"), "w") as f:
                f.write("[Default Applications]\nx-scheme-handler/mailto=recorder.desktop\n")
            session.env.update(XDG_CONFIG_HOME=config, XDG_DATA_HOME=data)
            # The generic opener, whatever desktop the machine runs.
            for name in ("XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION",
                         "GNOME_DESKTOP_SESSION_ID"):
                session.env.pop(name, None)

    def _reg(self, *args):
        done = subprocess.run([WINE_LAUNCHER, "reg"] + list(args), env=self.session.env,
                              stdin=subprocess.DEVNULL, capture_output=True, timeout=PATIENCE)
        if done.returncode != 0:
            raise AssertionError("reg %s failed (%d): %s" % (
                " ".join(args), done.returncode,
                (done.stdout + done.stderr).decode("utf-8", "replace")))

    def address(self):
        wait_until(lambda: os.path.exists(self.output) and os.path.getsize(self.output) > 0,
                   what="the mail handler to record the address")
        with open(self.output, "rb") as f:
            return f.read().decode("cp1252")

    def untouched(self):
        return not os.path.exists(self.output)


class ErrorReport(harness.TestCase):
    def run_fatal(self, ok, description=None):
        """Runs the program to its fatal error and answers the question; returns the
        session, the handler and the text the box showed."""
        session = self.session(ini=None)
        handler = MailHandler(session)
        instance = os.path.join(session.workdir, "instance")
        os.makedirs(instance)
        with open(os.path.join(instance, "USER"), "w") as f:
            f.write("marker")
        args = [windows(instance)] + ([description] if description is not None else [])
        user = session.start(FATAL, args)
        user.window(NOTICE)
        shown = user.notice_text()
        user.answer(ok)
        self.assertEqual(session.wait_exit(), 1)
        self.assertFalse(os.path.exists(instance), "the shut-down removed the instance folder")
        return session, handler, shown

    def test_ok_hands_the_address_to_the_mail_handler(self):
        line = source_line("// the number-and-text statement")
        description = "Error BASE/1102  Argument error: +;Function: REPORTER  Line: %d" % line
        _, handler, shown = self.run_fatal(True)
        self.assertEqual(shown, description.replace(";", "\n") + "\n\n" + QUESTION)
        self.assertEqual(handler.address(),
                         "mailto:?subject=Rapporto di errore&body=Applicazione: "
                         + windows(FATAL) + "%0d%0a%0d%0a"
                         + "Error BASE/1102  Argument error: +%0d%0aFunction: REPORTER  Line: "
                         + str(line))

    def test_cancel_hands_nothing_over(self):
        _, handler, _ = self.run_fatal(False)
        self.assertTrue(handler.untouched())

    def test_the_whole_description_arrives_in_the_body(self):
        line = source_line("// the described statement")
        _, handler, shown = self.run_fatal(True, "50% & 20% #3; fine?")
        self.assertEqual(shown, "Error BASE/???  50% & 20% #3\n fine?\nFunction: REPORTER  "
                         "Line: " + str(line) + "\n\n" + QUESTION)
        body = handler.address().split("&body=", 1)[1]
        self.assertEqual(body, "Applicazione: " + windows(FATAL) + "%0d%0a%0d%0a"
                         "Error BASE/%3F%3F%3F  50%25 %26 20%25 %233%0d%0a fine%3F%0d%0a"
                         "Function: REPORTER  Line: " + str(line))


if __name__ == "__main__":
    harness.main()
