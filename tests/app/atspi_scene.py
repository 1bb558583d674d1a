#!/usr/bin/python3
"""A screen reader's view of the game, through AT-SPI.

Attaches to the game running as process PID (arguments "--pid PID"; with
"--click-create" after them, the book's part is only "Create story" clicked
with the mouse at the middle of its extents), or
starts the game at PATH (argument PATH) on the session bus this script runs
on; finds it among the desktop's applications, lists its
accessible tree, finds the scene's region buttons, presses
"Goldilocks and the Three Bears" through its action and waits for the book's
window. Prints one JSON object on standard output:

  app        the application's accessible name
  tree       the tree as lines "depth role 'name'"
  buttons    the scene's buttons: name, extents (x, y, width, height), actions
  pressed    the name of the button pressed
  book       whether the book's window appeared after the press
  page_text  the text the book's page areas expose (book_page_text), or null
  shelf      the names of the cards of "My stories", opened from the book's
             cover through its button's action and closed by "Close", or
             null where the cover has no such button
  story_page the text of the book's left page after "Create story" was
             pressed through its action (the story's first page), or null
  windows    the names of the application's children once the scene shows
             (the loading window has closed by then)
  book_shown whether the display showed a window titled "Storybook" (xdotool)
             before the book was closed
  create     "Create story"'s extents (x, y, width, height) in the book
  clicked    with --click-create: the left page's text after the click at the
             middle of "Create story"'s extents (the story's first page when
             the button is drawn there), or null
  closed     the names of the application's children after "Close the book"
             was pressed and the book's window went, or null
  empty_tale "My stories" opened from the cover of "Sleeping Beauty", a tale
             with no stories of its own: its note (the label saying so), the
             filter's name, and its cards' names; or null
  letters    the cover's letters choice: the role of the object named
             "Letters" and its children's roles and names (a checked one
             starred), or null
  announced  after "Copy story" was pressed through its action on the
             commands spread (turned to by "Next page"), whether an alert
             named "Story copied!" shows in the book, or null
  tabs       the word lists ("Word lists" pressed in the scene): the page tabs
             of their tab list "Word types", each with its name and whether
             it is selected, before and after "Things" was pressed through
             its action ("before", "after"); or null
  error      what went wrong, when something did

Every wait polls with a deadline; a game the script started is ended before
the script ends.
"""

import json
import os
import subprocess
import sys
import time

import pyatspi

SCENE_NAME = "Fairy-tale valley"
PRESSED = "Goldilocks and the Three Bears"
BOOK_TITLE = "Storybook"
SHELF_TITLE = "My stories"
EMPTY_TALE = "Sleeping Beauty"
WORDS_TITLE = "Whirled Lists"


def wait_for(what, seconds):
    """Polls WHAT until it returns something true or SECONDS have passed."""
    deadline = time.monotonic() + seconds
    while True:
        found = what()
        if found or time.monotonic() > deadline:
            return found
        time.sleep(0.1)


def children(acc):
    try:
        return [c for c in acc if c is not None]
    except Exception:  # a child that went away while being listed
        return []


def walk(acc, depth=0, limit=12):
    """ACC and everything under it, with its depth, children first-to-last."""
    yield acc, depth
    if depth < limit:
        for child in children(acc):
            yield from walk(child, depth + 1, limit)


def find_app(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in children(desktop):
        try:
            if app.get_process_id() == pid:
                return app
        except Exception:
            continue
    return None


def role(acc):
    try:
        return acc.getRoleName()
    except Exception:
        return "?"


def scene_buttons(app):
    """The push buttons whose parent is the scene."""
    found = []
    for acc, _ in walk(app):
        if acc.name == SCENE_NAME:
            found = [b for b in children(acc) if b.getRole() == pyatspi.ROLE_PUSH_BUTTON]
    return found


def actions(acc):
    try:
        a = acc.queryAction()
    except NotImplementedError:
        return []
    return [a.getName(i) for i in range(a.nActions)]


def press(acc):
    a = acc.queryAction()
    for i in range(a.nActions):
        if a.getName(i).lower() == "press":
            return a.doAction(i)
    raise RuntimeError("no press action on " + acc.name)


def book_window(app):
    for win in children(app):
        if win.name == BOOK_TITLE and win.getState().contains(pyatspi.STATE_SHOWING):
            return win
    return None


def shelf_window(app):
    for win in children(app):
        if win.name == SHELF_TITLE and win.getState().contains(pyatspi.STATE_SHOWING):
            return win
    return None


def shelf_cards(app):
    """The shelf's window and its cards' names, once it shows a card."""
    win = shelf_window(app)
    if not win:
        return None
    for acc, _ in walk(win):
        if acc.getRole() == pyatspi.ROLE_LIST and acc.name == SHELF_TITLE:
            names = [c.name for c in children(acc)]
            if names:
                return win, names
    return None


def on_display(pattern):
    """Whether the X display shows a window whose title matches PATTERN."""
    try:
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", pattern],
                               capture_output=True, text=True, timeout=10).stdout
    except (OSError, subprocess.SubprocessError):
        return False
    return bool(found.strip())


def window_names(app):
    return [w.name for w in children(app)]


def book_page_text(book):
    """The text that the book's page areas expose to a screen reader.

    Joins, in tree order, the text of every object in the book window that
    carries the Text interface and is a page (a document or static text
    role); None when there is none. This is the hook for reading a page.
    """
    texts = []
    for acc, _ in walk(book):
        if acc.getRole() not in (pyatspi.ROLE_DOCUMENT_TEXT, pyatspi.ROLE_DOCUMENT_FRAME,
                                 pyatspi.ROLE_STATIC, pyatspi.ROLE_TEXT):
            continue
        try:
            text = acc.queryText()
        except NotImplementedError:
            continue
        content = text.getText(0, text.characterCount)
        if content:
            texts.append(content)
    return "\n".join(texts) if texts else None


def page_named(book, name):
    """The text of the page area called NAME in the book's window, or None."""
    for acc, _ in walk(book):
        if acc.name != name:
            continue
        try:
            text = acc.queryText()
        except NotImplementedError:
            return None
        return text.getText(0, text.characterCount)
    return None


def button_named(window, name):
    for acc, _ in walk(window):
        if acc.name == name and acc.getRole() == pyatspi.ROLE_PUSH_BUTTON:
            return acc
    return None


def window_named(app, title):
    for win in children(app):
        if win.name == title and win.getState().contains(pyatspi.STATE_SHOWING):
            return win
    return None


def close_book(app, book):
    """Presses the book's showing ribbon and waits for its window to go."""
    ribbon = next((b for b, _ in walk(book) if b.name == "Close the book"
                   and b.getRole() == pyatspi.ROLE_PUSH_BUTTON
                   and b.getState().contains(pyatspi.STATE_SHOWING)), None)
    if ribbon:
        press(ribbon)
        wait_for(lambda: BOOK_TITLE not in window_names(app), 20)
    return ribbon is not None


def letters_group(book):
    for acc, _ in walk(book):
        if acc.name == "Letters" and acc.getRole() != pyatspi.ROLE_RADIO_BUTTON:
            kids = []
            for c in children(acc):
                checked = c.getState().contains(pyatspi.STATE_CHECKED)
                kids.append("%s '%s'%s" % (role(c), c.name, "*" if checked else ""))
            return {"role": role(acc), "children": kids}
    return None


def showing_named(window, name, acc_role):
    for acc, _ in walk(window):
        if (acc.name == name and acc.getRole() == acc_role
                and acc.getState().contains(pyatspi.STATE_SHOWING)):
            return acc
    return None


def copy_announced(book):
    """Turns to the commands, presses "Copy story", and sees its alert show."""
    for _ in range(40):
        if showing_named(book, "Copy story", pyatspi.ROLE_PUSH_BUTTON):
            break
        press(button_named(book, "Next page"))
        time.sleep(0.1)
    copy = showing_named(book, "Copy story", pyatspi.ROLE_PUSH_BUTTON)
    if not copy:
        return None
    press(copy)
    return wait_for(lambda: showing_named(book, "Story copied!", pyatspi.ROLE_ALERT), 10) \
        is not None


def empty_tale_shelf(app, buttons):
    """The shelf opened from the cover of a tale with no stories of its own."""
    tale = next((b for b in buttons if b.name == EMPTY_TALE), None)
    if not tale:
        return None
    press(tale)
    book = wait_for(lambda: book_window(app), 20)
    if not book:
        return None
    mine = wait_for(lambda: button_named(book, "My stories"), 10)
    found = None
    if mine:
        press(mine)
        found = wait_for(lambda: shelf_cards(app), 20)
    shelf = None
    if found:
        win, cards = found
        note = next((a.name for a, _ in walk(win) if a.getRole() == pyatspi.ROLE_LABEL
                     and a.name.startswith("No stories")), None)
        combo = next((a for a, _ in walk(win) if a.getRole() == pyatspi.ROLE_COMBO_BOX), None)
        shelf = {"note": note, "filter": combo.name if combo else None, "cards": cards}
        press(button_named(win, "Close"))
        wait_for(lambda: not shelf_window(app), 20)
    close_book(app, book)
    return shelf


def word_tabs(app, buttons):
    """The word lists' page tabs before and after "Things" is pressed."""
    lists = next((b for b in buttons if b.name == "Word lists"), None)
    if not lists:
        return None
    press(lists)
    win = wait_for(lambda: window_named(app, WORDS_TITLE), 20)
    if not win:
        return None

    def tabs():
        bar = next((a for a, _ in walk(win) if a.getRole() == pyatspi.ROLE_PAGE_TAB_LIST), None)
        if not bar:
            return []
        return [c for c in children(bar) if c.getRole() == pyatspi.ROLE_PAGE_TAB]

    def seen():
        return [{"name": t.name, "selected": t.getState().contains(pyatspi.STATE_SELECTED)}
                for t in tabs() if t.getState().contains(pyatspi.STATE_SHOWING)]

    found = {"before": wait_for(seen, 10) or []}
    things = next((t for t in tabs() if t.name == "Things"), None)
    if things:
        press(things)
        wait_for(lambda: things.getState().contains(pyatspi.STATE_SELECTED), 10)
    found["after"] = seen()
    close = button_named(win, "Close")
    if close:
        press(close)
        wait_for(lambda: not window_named(app, WORDS_TITLE), 20)
    return found


def main():
    out = {"app": None, "tree": [], "buttons": [], "pressed": None, "book": False,
           "page_text": None, "shelf": None, "story_page": None, "windows": [],
           "book_shown": False, "create": None, "clicked": None, "closed": None,
           "empty_tale": None, "tabs": None, "letters": None, "announced": None}
    game = None
    click = sys.argv[3:4] == ["--click-create"]
    if sys.argv[1:2] == ["--pid"]:
        pid = int(sys.argv[2])
    else:
        env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        game = subprocess.Popen([sys.argv[1]], env=env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        pid = game.pid
    try:
        app = wait_for(lambda: find_app(pid), 40)
        if not app:
            out["error"] = "the game never appeared on the accessibility bus"
            return out
        out["app"] = app.name
        buttons = wait_for(lambda: scene_buttons(app), 40)
        out["tree"] = ["%d %s '%s'" % (d, role(a), a.name) for a, d in walk(app)]
        out["windows"] = window_names(app)
        for b in buttons:
            e = b.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            out["buttons"].append({"name": b.name, "x": e.x, "y": e.y, "width": e.width,
                                   "height": e.height, "actions": actions(b)})
        target = next((b for b in buttons if b.name == PRESSED), None)
        if not target:
            out["error"] = "no button named " + PRESSED
            return out
        press(target)
        out["pressed"] = target.name
        book = wait_for(lambda: book_window(app), 20)
        out["book"] = book is not None
        if book and click:
            cover = page_named(book, "Left page")
            create = wait_for(lambda: button_named(book, "Create story"), 10)
            if not create:
                out["error"] = "no button named Create story"
                return out
            wait_for(lambda: on_display("^" + BOOK_TITLE + "$"), 10)

            def extents():
                e = create.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
                return (e.x, e.y, e.width, e.height)

            def steady_extents():
                first = extents()
                time.sleep(0.3)
                return first if extents() == first else None

            # A window still being placed may move under the pointer: the
            # extents are read once they hold still, and a click that came
            # too early is made again (one at the wrong place never lands).
            for _ in range(3):
                x, y, w, h = wait_for(steady_extents, 10) or extents()
                out["create"] = {"x": x, "y": y, "width": w, "height": h}
                subprocess.run(["xdotool", "mousemove", str(x + w // 2), str(y + h // 2),
                                "click", "1"], timeout=10, check=True)
                out["clicked"] = wait_for(
                    lambda: (lambda t: t if t and t != cover else None)(
                        page_named(book, "Left page")), 10)
                if out["clicked"]:
                    break
        elif book:
            out["page_text"] = book_page_text(book)
            cover = page_named(book, "Left page")
            mine = button_named(book, "My stories")
            if mine:
                press(mine)
                found = wait_for(lambda: shelf_cards(app), 20)
                if not found:
                    out["error"] = "My stories showed no cards"
                    return out
                out["shelf"] = found[1]
                press(button_named(found[0], "Close"))
                wait_for(lambda: not shelf_window(app), 20)
            create = wait_for(lambda: button_named(book, "Create story"), 10)
            if not create:
                out["error"] = "no button named Create story"
                return out
            out["letters"] = letters_group(book)
            press(create)
            out["story_page"] = wait_for(
                lambda: (lambda t: t if t and t != cover else None)(page_named(book, "Left page")),
                20)
            out["book_shown"] = on_display("^" + BOOK_TITLE + "$")
            out["announced"] = copy_announced(book)
            if close_book(app, book):
                out["closed"] = window_names(app)
                out["empty_tale"] = empty_tale_shelf(app, buttons)
                out["tabs"] = word_tabs(app, buttons)
        return out
    except Exception as e:  # reported, not raised: the caller reads the JSON
        out["error"] = "%s: %s" % (type(e).__name__, e)
        return out
    finally:
        if game:
            game.terminate()
            try:
                game.wait(10)
            except subprocess.TimeoutExpired:
                game.kill()
                game.wait()


if __name__ == "__main__":
    print(json.dumps(main()))
