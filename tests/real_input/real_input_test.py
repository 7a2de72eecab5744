"""The window under real X input: what only a real mouse and keyboard show.

Usage: real_input_test.py CASE | --list   (VELLUM_BIN names the folder of vellumcraft and pff)
Each case starts its own X server and programs, and reads its verdict from the
archive on disk or from the screen.
"""

import glob
import os
import re
import shutil
import sys
import tempfile
import time

from xsession import SCREEN_H, SCREEN_W, Grid, Session, TestFailure, check, wait_for

HERE = os.path.dirname(os.path.abspath(__file__))


def write_files(s, folder, files):
    """Writes {name: bytes} into a folder of the session; returns the paths in order."""
    os.makedirs(s.path(folder), exist_ok=True)
    paths = []
    for name, data in files.items():
        path = s.path(folder, name)
        with open(path, "wb") as f:
            f.write(data)
        paths.append(path)
    return paths


def new_archive(s, name, files, flavour="--df3"):
    archive = s.path(name)
    s.pff("new", flavour, archive)
    if files:
        s.pff("add", archive, *write_files(s, name + "-src", files))
    return archive


def live(rows):
    return [r for r in rows if not r[1]]


def extracted(s, archive):
    out = tempfile.mkdtemp(prefix="out-" + os.path.basename(archive) + "-", dir=s.root)
    s.pff("extract", "-C", out, archive)
    return {name: open(os.path.join(out, name), "rb").read() for name in os.listdir(out)}


def choose_archive_node(s, app):
    # The tree has the keyboard at start-up; Down leaves "View All" for the archive.
    app.focus()
    s.key("Down")


# --- the cases -------------------------------------------------------------------


def drag_rows_between_windows(s):
    files = {"one.txt": b"first entry\n", "two.bin": bytes(range(256)) * 40, "three.dat": b"x" * 5000,
             "four.txt": b"4"}
    a_path = new_archive(s, "a.pff", files)
    b_path = new_archive(s, "b.pff", {}, "--df1")
    a, b = s.start_app(a_path), s.start_app(b_path)
    a.place(0, 0, SCREEN_W // 2, SCREEN_H)
    b.place(SCREEN_W // 2, 0, SCREEN_W // 2, SCREEN_H)
    choose_archive_node(s, b)
    grid = Grid(a).measure()
    s.click(*grid.row_point(0))
    s.click(*grid.row_point(2), modifier="shift")
    wait_for("rows 1 to 3 highlighted in A", lambda: grid.highlighted_rows() == [0, 1, 2])
    s.drag(grid.row_point(1), (SCREEN_W * 3 // 4, SCREEN_H // 2))
    got = wait_for("B's archive to hold three entries", lambda: len(live(s.listing(b_path))) == 3 and s.listing(b_path))
    source = {r[4]: r for r in s.listing(a_path)}
    for _, _, size, stamp, name in got:
        check(name in ("one.txt", "two.bin", "three.dat"), f"unexpected entry {name} in B")
        check((size, stamp) == source[name][2:4], f"{name}: size and time {size}, {stamp} differ from A's")
    copies = extracted(s, b_path)
    check(all(copies[n] == files[n] for n in copies), "an entry's bytes differ after the drag")


def drop_from_another_toolkit(s):
    files = write_files(s, "outside", {"dropped.txt": b"from a file manager\n", "z.bin": bytes(range(200))})
    archive = new_archive(s, "target.pff", {"keep.txt": b"kept"})
    app = s.start_app(archive)
    app.place(0, 0, SCREEN_W // 2, SCREEN_H)
    choose_archive_node(s, app)
    python = shutil.which("python3", path="/usr/bin") or "python3"
    source = s.start_other([python, os.path.join(HERE, "gtk_drag_source.py"), "Outside Files", *files],
                           "Outside Files")
    source.place(SCREEN_W * 3 // 4, SCREEN_H // 2 - 100, 300, 200)
    s.drag((SCREEN_W * 3 // 4 + 150, SCREEN_H // 2), (SCREEN_W // 4, SCREEN_H // 2))
    wait_for("the dropped files in the archive", lambda: len(live(s.listing(archive))) == 3)
    copies = extracted(s, archive)
    check(copies == {"keep.txt": b"kept", "dropped.txt": b"from a file manager\n", "z.bin": bytes(range(200))},
          f"the archive holds {sorted(copies)} with other bytes than dropped")


def delete_highlighted_rows(s):
    files = {f"entry{i}.txt": bytes([48 + i]) * (i + 1) for i in range(1, 9)}
    archive = new_archive(s, "d.pff", files)
    app = s.start_app(archive)
    grid = Grid(app).measure()

    def delete_and_confirm():
        s.key("Delete")
        app.wait_dialog("Vellumcraft")
        s.key("Return")
        app.dialog_gone("Vellumcraft")

    # Click, Shift-click.
    s.click(*grid.row_point(1))
    s.click(*grid.row_point(3), modifier="shift")
    wait_for("rows 2 to 4 highlighted", lambda: grid.highlighted_rows() == [1, 2, 3])
    delete_and_confirm()
    wait_for("three entries dead", lambda: [r[0] for r in s.listing(archive) if r[1]] == [2, 3, 4])
    # A two-row block chosen upwards with the keyboard: the last row, Shift+Up.
    s.click(*grid.row_point(4))
    s.key("shift+Up")
    wait_for("the last two rows highlighted", lambda: grid.highlighted_rows() == [3, 4])
    delete_and_confirm()
    wait_for("exactly the highlighted entries dead",
             lambda: [r[0] for r in s.listing(archive) if r[1]] == [2, 3, 4, 7, 8])


def text_preview_reads_whole_lines(s):
    lines = [f"line {n} of the settings" for n in range(1, 151)]
    lines[0] = "Quartermaster alpha"
    lines[1] = "Westminster bravo"
    lines[139] = "zebracrossing found here"
    archive = new_archive(s, "t.pff", {"units.txt": ("\n".join(lines) + "\n").encode()})
    app = s.start_app(archive)
    grid = Grid(app).measure()
    s.click(*grid.row_point(0))
    s.key("F3")
    gx, gy, gw, gh = app.geometry()
    # The pane is the right part of the window; its first text lines sit near the top.
    region = (gx + gw * 3 // 5, gy + 30, gw * 2 // 5 - 10, 160)
    text = wait_for("the first lines in the preview", lambda: "alpha" in s.ocr(*region) and s.ocr(*region))
    check("Quartermaster alpha" in text, f"the first line is not shown whole: {text!r}")
    check("Westminster bravo" in text, f"the second line is not shown whole: {text!r}")
    # Ctrl+F from the grid reaches the Find field; Return finds line 140.
    s.key("ctrl+f")
    s.type_text("zebracrossing")
    s.key("Return")
    wait_for("line 140 in view", lambda: "zebracrossing" in s.ocr(gx + gw * 3 // 5, gy + 30, gw * 2 // 5 - 10,
                                                                   gh - 120, "find"))


def tab_leaves_the_grid(s):
    names = ["alpha.txt", "bravo.txt", "charlie.txt", "delta.txt", "echo.txt"]
    archive = new_archive(s, "k.pff", {n: n.encode() for n in names})
    app = s.start_app(archive)
    grid = Grid(app).measure()
    gx, gy, gw, gh = app.geometry()
    s.click(*grid.row_point(0))
    wait_for("row 1 highlighted", lambda: grid.highlighted_rows() == [0])
    left = (gx, gy + gh // 2, grid.x0 - gx - 4, gh // 3)
    before = s.screenshot().region_bytes(*left)
    s.key("Tab")
    # The focus is seen to move: the control below the tree that took it looks different.
    wait_for("the focused control to be marked", lambda: s.screenshot().region_bytes(*left) != before)
    s.key("Down")
    time.sleep(0.5)  # give a wrong move the chance to show
    check(grid.highlighted_rows() == [0], "Down after Tab moved the grid's highlight")
    s.key("shift+Tab")
    s.key("Down")
    wait_for("Shift+Tab back in the grid, Down on row 2", lambda: grid.highlighted_rows() == [1])
    # Type-ahead: letters jump to the next name that starts with them.
    s.type_text("de")
    wait_for('"de" on delta.txt', lambda: grid.highlighted_rows() == [3])


def open_entry_without_program(s):
    archive = new_archive(s, "o.pff", {"notes.xyz": b"opened bytes\n"})
    # An installed copy: nothing may be written beside it.
    program = s.path("prog", "vellumcraft")
    os.makedirs(os.path.dirname(program))
    shutil.copy2(os.path.join(s.build_bin, "vellumcraft"), program)
    opened_log = s.path("opened.log")
    s.stub("xdg-open", f'#!/bin/sh\necho "$1" >> "{opened_log}"\nexit 3\n')
    app = s.start_app(archive, program=program)
    grid = Grid(app).measure()
    s.click(*grid.row_point(0))
    s.key("Return")
    box = app.wait_dialog("Vellumcraft")
    x, y, w, h = app.geometry(box)
    message = wait_for("the message text", lambda: "program" in s.ocr(x, y, w, h, "message") and s.ocr(x, y, w, h))
    check("No program opened" in message and "notes.xyz" in message, f"unexpected message: {message!r}")
    opened = open(opened_log).read().split()
    cache = os.path.join(s.home, ".cache")
    check(len(opened) == 1 and opened[0].startswith(cache) and opened[0].endswith("/notes.xyz"),
          f"the opener was given {opened}")
    check(open(opened[0], "rb").read() == b"opened bytes\n", "the opened copy holds other bytes")
    check(os.listdir(os.path.dirname(program)) == ["vellumcraft"], "something was written beside the program")
    s.key("Return")
    app.dialog_gone("Vellumcraft")
    check(app.exit_by_menu() == 0, "the program did not end cleanly")
    check(not glob.glob(os.path.join(cache, "*", "session-*")), "the window left its extracted files behind")


def advanced_filter_keyboard_at_scale_2(s):
    names = ["alpha.txt", "bravo.txt", "charlie.dat", "bravo2.bin", "delta.txt"]
    archive = new_archive(s, "f.pff", {n: n.encode() for n in names})
    app = s.start_app(archive)
    grid = Grid(app).measure()
    names_region = (grid.x0, grid.top, grid.x1 - grid.x0, grid.pitch * 6)

    def listed():
        return s.ocr(*names_region, "names").lower()

    def filter_by_name(text, last_key):
        s.click(*grid.row_point(0))
        s.key("Tab", "Tab", "space")  # grid, quick list, "Advanced Filter"
        dialog = app.wait_dialog("Set Advanced Filter")
        x, y, w, h = app.geometry(dialog)
        check(x >= 0 and y >= 0 and x + w <= SCREEN_W and y + h <= SCREEN_H,
              f"the dialog ({w}x{h} at {x},{y}) does not fit the screen")
        # The date filter's box first, then the name filter's box and its field.
        s.key("Tab", "space", "Tab")
        s.type_text(text)
        s.key(last_key)
        app.dialog_gone("Set Advanced Filter")

    filter_by_name("bravo", "Escape")
    check("alpha" in listed() and "delta" in listed(), "Escape changed the list")
    filter_by_name("bravo", "Return")
    shown = wait_for("only the matching rows", lambda: "alpha" not in listed() and listed())
    check("bravo.txt" in shown and "bravo2" in shown and "charlie" not in shown and "delta" not in shown,
          f"the grid lists {shown!r}")


def escape_stops_a_large_add(s):
    archive = new_archive(s, "big.pff", {"keep.txt": b"kept"})
    before = open(archive, "rb").read()
    huge = s.path("huge.bin")
    with open(huge, "wb") as f:
        f.truncate(2_000_000_000)  # the largest an archive holds, without blocks on disk
    app = s.start_app(archive)
    choose_archive_node(s, app)
    s.key("ctrl+a")
    x, y, w, h = app.geometry(app.wait_dialog(ADD_DIALOG))
    s.type_text(huge)
    s.key("Return")
    app.dialog_gone(ADD_DIALOG)
    app.focus()  # as a window manager gives it back when the dialog closes; Xvfb has none
    s.key("Escape")
    x, y, w, h = app.geometry()
    status = (x, y + h - 40, w, 40)
    said = wait_for("the status bar's verdict", lambda: next(
        (text for text in [s.ocr(*status, "status")] if "Cancel" in text or "Added" in text), None))
    check("nothing was added" in said, f"the status bar says {said!r}")
    check(open(archive, "rb").read() == before, "the archive changed")
    check(not os.path.exists(archive + "-journal"), "a journal was left")


def edited_entry_goes_back(s):
    archive = new_archive(s, "e.pff", {"notes.txt": b"first draft\n", "other.bin": b"\0" * 10})
    # A stand-in desktop program that saves the opened copy once at once, and again when told to.
    again = s.path("save-again")
    s.stub("xdg-open", f'#!/bin/sh\n(printf "edit one\\n" >> "$1"; while [ ! -e "{again}" ]; do sleep 0.1; done; '
                       f'printf "edit two\\n" >> "$1") >/dev/null 2>&1 &\nexit 0\n')
    app = s.start_app(archive)
    grid = Grid(app).measure()
    s.click(*grid.row_point(0))
    s.key("Return")

    def answer(key, expected):
        box = app.wait_dialog("Vellumcraft")
        x, y, w, h = app.geometry(box)
        said = wait_for("the question's text", lambda: "back" in s.ocr(x, y, w, h, "question") and s.ocr(x, y, w, h))
        check(expected in said and "notes.txt" in said, f"the question reads {said!r}")
        s.key(key)
        app.dialog_gone("Vellumcraft")

    answer("Return", "was changed")
    wait_for("the first save in the archive", lambda: extracted(s, archive)["notes.txt"] == b"first draft\nedit one\n")
    open(again, "w").close()
    answer("Escape", "was changed")  # the second save: not now
    check(extracted(s, archive)["notes.txt"] == b"first draft\nedit one\n", "No still put the copy back")
    # Leaving asks once about the copies not put back.
    app.focus()
    s.key("alt+f")
    time.sleep(0.3)  # pacing the hand: the menu opens
    s.key("x")
    answer("Return", "not put back")
    wait_for("the program to end", lambda: app.process.poll() is not None)
    copies = extracted(s, archive)
    check(copies == {"notes.txt": b"first draft\nedit one\nedit two\n", "other.bin": b"\0" * 10},
          f"the archive holds {copies}")


def actions_menu(s, app, shows):
    """The Actions menu as OCR reads it once it shows the text shows; closed again after."""
    gx, gy, gw, gh = app.geometry()
    s.key("alt+a")  # the menu opens under the menu bar, over the tree and the grid
    text = wait_for(f'"{shows}" in the Actions menu', lambda: next(
        (t for t in [s.ocr(gx, gy, gw // 2, gh // 2, "menu").replace("|", "1")] if shows in t), None))
    s.key("Escape")
    time.sleep(0.3)  # pacing the hand: the menu closes
    return text


def undo_redo_by_keyboard(s):
    files = {f"entry{i}.txt": bytes([48 + i]) * (300 * i) for i in range(1, 5)}
    archive = new_archive(s, "u.pff", files)
    original = read_bytes(archive)
    app = s.start_app(archive)
    grid = Grid(app).measure()
    # The tree has the keyboard at start: Tab to the grid, Down to the second entry.
    app.focus()
    s.key("Tab", "Down")
    wait_for("row 2 highlighted", lambda: grid.highlighted_rows() == [1])
    s.key("Delete")
    app.wait_dialog("Vellumcraft")
    s.key("Return")
    app.dialog_gone("Vellumcraft")
    app.focus()  # as a window manager gives it back when the dialog closes; Xvfb has none
    wait_for("entry 2 dead on disk", lambda: [r[0] for r in s.listing(archive) if r[1]] == [2])
    deleted = read_bytes(archive)
    actions_menu(s, app, "Undo Delete 1 Entry")

    s.key("ctrl+z")
    wait_for("the archive as it was before the delete", lambda: read_bytes(archive) == original)
    x, y, w, h = app.geometry()
    wait_for("the status bar to say what was undone", lambda: "Undid: delete of" in s.ocr(x, y + h - 40, w, 40))
    actions_menu(s, app, "Redo Delete 1 Entry")
    s.key("ctrl+y")
    wait_for("the archive as the delete left it", lambda: read_bytes(archive) == deleted)

    # The steps outlast the window: a new one undoes the delete again.
    check(app.exit_by_menu() == 0, "the program did not end cleanly")
    again = s.start_app(archive)
    choose_archive_node(s, again)
    s.key("ctrl+z")
    wait_for("the archive as it was before the delete, after a restart", lambda: read_bytes(archive) == original)

    # Creating over it leaves no step: its question says so, and the steps go.
    s.key("ctrl+n")
    again.wait_dialog("Save As")
    s.type_text(archive)
    s.key("Return")
    # The question bears the file dialog's title, and follows it.
    said = wait_for("the question's text", lambda: next(
        (text for text in [s.ocr(*again.geometry(w), "question") for w in again.windows("Save As")]
         if "replace" in text), None))
    check("u.pff already exists" in said and "This cannot be undone." in said, f"the question reads {said!r}")
    s.key("alt+y")
    again.dialog_gone("Save As")
    wait_for("an empty archive in its place", lambda: s.listing(archive) == [])
    again.focus()
    menu = actions_menu(s, again, "Extract")
    check(not re.search(r"(Undo|Redo) (Add|Delete)", menu), f"a step of the file created over is offered: {menu!r}")


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


ADD_DIALOG = "Open"  # the file dialog's own title when the window gives it none

CASES = {f.__name__: f for f in (drag_rows_between_windows, drop_from_another_toolkit, delete_highlighted_rows,
                                 text_preview_reads_whole_lines, tab_leaves_the_grid, open_entry_without_program,
                                 advanced_filter_keyboard_at_scale_2, escape_stops_a_large_add,
                                 edited_entry_goes_back, undo_redo_by_keyboard)}
SCALED = {"advanced_filter_keyboard_at_scale_2": 2}


def main():
    if sys.argv[1:] == ["--list"]:
        print(";".join(CASES))
        return
    if len(sys.argv) != 2 or sys.argv[1] not in CASES:
        sys.exit("usage: real_input_test.py " + "|".join(CASES))
    name = sys.argv[1]
    s = Session(name, scale=SCALED.get(name)).start_display()
    try:
        CASES[name](s)
    except TestFailure as failure:
        print(f"FAILED: {failure}\nscreen: {s.save_screenshot('failure')}\nfiles: {s.root}")
        s.close()
        sys.exit(1)
    s.close()
    s.cleanup()
    print("passed")


if __name__ == "__main__":
    main()
