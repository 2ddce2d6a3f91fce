"""The guided tour that the run command gives when there is no display: on a private X
server it clicks through the splash, the reason, idling and the exit of marigold.exe beside
the stand-in chat client, prints each chat line as it arrives and saves screenshots.

Usage: tour.py OUTPUT_DIR   (the environment names the programs, as for the e2e tests)
"""

import os
import sys
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import e2e  # noqa: E402
import marigold_kit as kit  # noqa: E402


def say(text):
    print("tour> " + text, flush=True)


def echo_chat(chat, stop):
    """Prints each line the chat room receives, as it arrives."""
    shown = 0
    while not stop.is_set():
        lines = chat.lines()
        for post in lines[shown:]:
            print("chat> " + post.text, flush=True)
        shown = len(lines)
        time.sleep(0.2)


def snap(probe, name):
    kit.park_pointer(probe)
    path = e2e.screenshot(name)
    say("screenshot " + path)


def reason_window(probe):
    for hwnd, cls, caption, _ in probe.toplevel():
        if cls == kit.FORM_CLASS and caption == kit.REASON_CAPTION:
            return hwnd
    return 0


def main():
    os.environ["E2E_ARTIFACTS"] = os.path.abspath(sys.argv[1])
    session = kit.Session(name="Nick1")
    stop = threading.Event()
    threading.Thread(target=echo_chat, args=(session.chat, stop), daemon=True).start()
    probe = session.probe
    try:
        say("the splash is up; clicking it")
        snap(probe, "1-splash")
        session.click_splash()
        session.chat.wait_lines(2, 15)
        time.sleep(0.5)
        snap(probe, "2-main-window-beside-the-chat-room")

        say("giving a reason")
        session.click(kit.REASON_LABEL)
        strip = kit.wait_until(lambda: reason_window(probe), 10)
        if not strip:
            raise e2e.E2EError("the reason window did not open")
        kit.click_client(probe, strip, kit.REASON_TEXT_BOX)
        kit.focus_under_pointer()
        e2e.key("Home", "shift+End")  # Wine's single-line edit ignores ctrl+a
        e2e.type_text("out for lunch")
        snap(probe, "3-reason")
        kit.click_client(probe, strip, kit.REASON_OK)
        kit.wait_until(lambda: probe.visible(session.main), 10)

        say("starting to idle; the first banner comes in a minute")
        session.click(kit.START_SPOT)
        session.chat.wait_lines(3, 75)
        snap(probe, "4-idling")

        say("stopping, then leaving through the X spot")
        session.click(kit.STOP_SPOT)
        session.click(kit.EXIT_SPOT)
        box = kit.single_box(probe)
        snap(probe, "5-farewell")
        kit.click_box_button(probe, box["hwnd"], "OK")
        code = session.program.wait_exit(15)
        say("marigold.exe ended with code %r" % (code,))
        return 0 if code == 0 else 1
    finally:
        time.sleep(0.5)
        stop.set()
        session.close()


if __name__ == "__main__":
    sys.exit(main())
