"""The real program on a desktop: its status item as a status area host sees it over the session
bus, its menu clicked through that bus, a simulated RP2350 board plugged in, and its two panels
on screen, driven through the attention file.

Usage: desktop_e2e.py <bundle folder> [<folder for screenshots>]"""

import os
import sys

sys.dont_write_bytecode = True  # no cache files in the source tree
from desktop_session import Session  # noqa: E402

START_LABEL = "Want C6 boot | Have none"
START_TITLE = "Desired: C6 boot. Observed: No matching USB device."
CHOICES = ["Want C6 boot", "Want C6 normal", "Want RP boot", "Want RP normal"]
ACTION = ("Hold BOOTSEL on the RP2350 board, press and release RESET, then release BOOTSEL. "
          "The flashing tool waits until the bootloader drive appears.")


def checked(item):
    return [e["label"] for e in item.entries() if e["state"] == 1]


def wait_for(session, what, read, expected, timeout=20.0):
    seen = [None]

    def matches():
        seen[0] = read()
        return seen[0] == expected

    try:
        session.wait_until(f"{what} == {expected!r}", matches, timeout)
    except AssertionError as failure:
        raise AssertionError(f"{failure}; {what} was {seen[0]!r}") from None


def starts_with_the_preference_absent(session, item):
    wait_for(session, "label", lambda: item.prop("XAyatanaLabel"), START_LABEL)
    assert item.prop("Title") == START_TITLE, item.prop("Title")
    assert item.prop("IconAccessibleDesc") == START_TITLE
    assert item.prop("Status") == "Active"
    assert item.prop("XAyatanaLabelGuide") == "Want C6 normal | Have C6 unknown mode"
    for icon in (item.prop("IconName"), item.prop("AttentionIconName")):
        assert os.path.isfile(os.path.join(item.prop("IconThemePath"), icon + ".svg")), icon
    entries = item.entries()
    assert [e["label"] for e in entries] == (
        ["Observed: No matching USB device", ""] + CHOICES + ["", "Quit"]), entries
    assert [e["type"] for e in entries].count("separator") == 2
    assert not entries[0]["enabled"]
    assert all(e["toggle"] == "checkmark" for e in entries[2:6])
    assert checked(item) == ["Want C6 boot"]
    assert entries[7]["shortcut"] == [["Control", "q"]], entries[7]


def shows_a_plugged_in_bootloader(session, item):
    session.add_usb_device("rp2350", "2e8a", "000f", "RP2350 Boot", "E0C912D24340")
    wait_for(session, "label", lambda: item.prop("XAyatanaLabel"),
             "Want C6 boot | Have RP likely boot")
    assert item.entries()[0]["label"] == (
        "Observed: RP bootloader USB descriptor \u00b7 identity unverified")


def moves_the_check_mark_and_stores_the_choice(session, item):
    item.click("Want RP boot")
    wait_for(session, "label", lambda: item.prop("XAyatanaLabel"),
             "Want RP boot | Have RP likely boot")
    wait_for(session, "checked entries", lambda: checked(item), ["Want RP boot"])
    assert session.preferences() == {"desired": "RP boot"}, session.preferences()
    # The checked entry again: the menu is rebuilt (new entry ids) with the same single check.
    before = item.entries()[4]["id"]
    item.click("Want RP boot")
    session.wait_until("the menu to be rebuilt", lambda: item.entries()[4]["id"] != before)
    assert checked(item) == ["Want RP boot"], item.entries()


def prompts_and_dismisses_with_ok(session, item, shots):
    session.write_attention({"active": True, "needs_user": True, "request_id": "e2e-1",
                             "action": ACTION})
    window = session.wait_until("the attention panel",
                                lambda: session.visible_window("Board action needed"))
    x, y, width, height = session.geometry(window)
    assert (width, height) == (440, 150), (width, height)
    assert "_NET_WM_STATE_ABOVE" in session.window_states(window)
    _, _, screen_width, screen_height = session.geometry("root")
    assert abs(x + width / 2 - screen_width / 2) <= 2, (x, screen_width)  # centred
    assert abs(y + height / 2 - screen_height / 2) <= 40, (y, screen_height)
    if shots:
        session.screenshot(window, os.path.join(shots, "attention-panel.png"))
    # "OK" spans 340..420 x 105..135 from the content's top-left corner.
    session.click_until_closed(window, "Board action needed", 380, 120)


def reports_success_with_tint_and_a_closing_panel(session, item, shots):
    session.write_attention({"active": False, "needs_user": False, "success_id": "e2e-ok-1"})
    wait_for(session, "status", lambda: item.prop("Status"), "NeedsAttention")
    window = session.wait_until("the success panel",
                                lambda: session.visible_window("Board ready"))
    assert session.geometry(window)[2:] == (440, 110)
    assert session.pixel(window, 4, 4) == "#34C759", session.pixel(window, 4, 4)
    if shots:
        session.screenshot(window, os.path.join(shots, "success-panel.png"))
    wait_for(session, "status", lambda: item.prop("Status"), "Active")
    session.wait_until("the success panel to close itself",
                       lambda: session.visible_window("Board ready") is None)


def quits_and_starts_again_with_the_stored_choice(session, item):
    item.click("Quit")
    assert session.wait_for_exit() == 0
    session.write_attention({})
    item = session.start_program()
    wait_for(session, "label", lambda: item.prop("XAyatanaLabel"),
             "Want RP boot | Have RP likely boot")
    assert checked(item) == ["Want RP boot"]
    item.click("Quit")
    assert session.wait_for_exit() == 0


def main():
    bundle = os.path.abspath(sys.argv[1])
    shots = os.path.abspath(sys.argv[2]) if len(sys.argv) > 2 else None
    session = Session(bundle)
    step = "setting up"
    try:
        session.start_window_manager()
        item = session.start_program()
        for step, run in [
            ("starts with the preference absent", lambda: starts_with_the_preference_absent(
                session, item)),
            ("shows a plugged-in bootloader", lambda: shows_a_plugged_in_bootloader(
                session, item)),
            ("moves the check mark and stores the choice",
             lambda: moves_the_check_mark_and_stores_the_choice(session, item)),
            ("prompts and dismisses with OK", lambda: prompts_and_dismisses_with_ok(
                session, item, shots)),
            ("reports success with tint and a closing panel",
             lambda: reports_success_with_tint_and_a_closing_panel(session, item, shots)),
            ("quits and starts again with the stored choice",
             lambda: quits_and_starts_again_with_the_stored_choice(session, item)),
        ]:
            run()
            print(f"ok - {step}", flush=True)
    except AssertionError as failure:
        print(f"FAILED - {step}: {failure}\n--- program output ---\n{session.program_log()}")
        return 1
    finally:
        session.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
