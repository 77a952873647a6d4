"""What a screen reader meets in Tarvelo, read over a real AT-SPI bus.

Starts the real binary with accessibility on, then checks, as a screen reader
would see them: the window, every control's role, name and place, the reading
order, the description box's lines and hit tests, the tab order from focus
events, and Start and Stop pressed through their actions, with the state they
announce and the arcs they draw or clear on screen.
"""
import functools
import os
import pathlib
import subprocess
import sys
import time

import xml.etree.ElementTree as ElementTree

import pyatspi
from gi.repository import Atspi, Gio, GLib

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1] / "support"))
import tally  # noqa: E402
from tally import check  # noqa: E402

RUNNING = "Рекламата работи."
STOPPED = "Рекламата е спряна."
# The controls in reading order: role, name, (left, top, width, height) in the
# window. The hidden aphorism box is not among them: nothing of it is on screen.
# Roles are compared as constants: their names differ between client versions.
LAYOUT = [
    (pyatspi.ROLE_LABEL, "Tarvelo", (64, 0, 305, 25)),
    (pyatspi.ROLE_IMAGE, "Светеща реклама", (32, 48, 177, 153)),
    (pyatspi.ROLE_PUSH_BUTTON, "Стартирай", (240, 64, 129, 33)),
    (pyatspi.ROLE_PUSH_BUTTON, "Спри", (312, 136, 129, 33)),
    (pyatspi.ROLE_TEXT, "Описание", (8, 216, 449, 121)),
]
# A point on the inner ring's lower-left quarter, where step 1 draws red: the
# ring's centre is the drawing area's corner, its frame, then half its size.
RED_AT = (32 + 2 + 88.5 - 22.3, 48 + 2 + 76.5 + 22.3)

# Text by unit, asked of the description box (1012 characters, ending with a
# line break) at, before and after an offset; -1 stands for the end. A word or
# sentence takes its spaces along, a word not the line break; None: there is
# no such unit.
B = pyatspi
UNITS = [
    # boundary, offset, at, before, after
    (B.TEXT_BOUNDARY_CHAR, -1, (1012, 1012), (1011, 1012), None),
    (B.TEXT_BOUNDARY_CHAR, 0, (0, 1), None, (1, 2)),
    (B.TEXT_BOUNDARY_CHAR, 1011, (1011, 1012), (1010, 1011), None),
    (B.TEXT_BOUNDARY_CHAR, 1013, None, None, None),
    (B.TEXT_BOUNDARY_WORD_START, -1, (1011, 1012), (1001, 1011), None),
    (B.TEXT_BOUNDARY_WORD_START, 0, (0, 12), None, (12, 18)),
    (B.TEXT_BOUNDARY_WORD_END, 11, (0, 12), None, (12, 18)),
    (B.TEXT_BOUNDARY_WORD_START, 500, (496, 507), (494, 496), (507, 508)),
    # Where Ctrl+Right stops at a line's end: the break is a word of its own.
    (B.TEXT_BOUNDARY_WORD_START, 56, (56, 57), (52, 56), (57, 70)),
    (B.TEXT_BOUNDARY_WORD_START, 1012, (1011, 1012), (1001, 1011), None),
    (B.TEXT_BOUNDARY_SENTENCE_START, -1, (855, 1012), (750, 855), None),
    (B.TEXT_BOUNDARY_SENTENCE_START, 0, (0, 82), None, (82, 217)),
    (B.TEXT_BOUNDARY_SENTENCE_START, 500, (369, 543), (309, 369), (543, 639)),
    (B.TEXT_BOUNDARY_SENTENCE_END, 1012, (855, 1012), (750, 855), None),
    (B.TEXT_BOUNDARY_SENTENCE_START, 1013, None, None, None),
    (B.TEXT_BOUNDARY_LINE_START, -1, (1012, 1012), (1001, 1012), None),
    (B.TEXT_BOUNDARY_LINE_START, 0, (0, 57), None, (57, 109)),
    (B.TEXT_BOUNDARY_LINE_END, 500, (450, 508), (392, 450), (508, 543)),
    (B.TEXT_BOUNDARY_LINE_START, 1011, (1001, 1012), (946, 1001), None),
    (B.TEXT_BOUNDARY_LINE_START, 1013, None, None, None),
]
# Paragraphs by offset: a line with its break.
PARAGRAPHS = [(0, (0, 57)), (56, (0, 57)), (57, (57, 109)), (1011, (1001, 1012))]
# Ranges as a client may give them, clamped to the text before any work is
# done on them, each answered at once: the text of the range it covers, or a
# box around the first and last characters it covers (None: no box).
RANGES = [
    # ask, start, end, covered
    ("getText", -5, 2**31 - 1, (0, -1)),
    ("getText", 2000, 3000, (1012, 1012)),
    ("getText", 10, 5, (0, 0)),
    ("getRangeExtents", 0, -1, (0, 1011)),
    ("getRangeExtents", 0, 10**7, (0, 1011)),
    ("getRangeExtents", 2**31 - 2, 2**31 - 1, None),
]

# Every method each object publishes, sent as a careless or hostile client of
# the bus may send it: no arguments, one too few, the wrong types, and every
# integer at an extreme. Each is answered, an answer or an error, in time.
EXTREMES = (-2**31, -1, 2**31 - 1)
EDITING = {"InsertText": "isi", "PasteText": "i", "DeleteText": "ii", "CutText": "ii",
           "CopyText": "ii", "SetTextContents": "s"}
INTEGER_BITS = {"y": -8, "n": 16, "q": -16, "i": 32, "u": -32, "x": 64, "t": -64}  # -: unsigned

ACCESSIBLE = "org.a11y.atspi.Accessible"
PROPERTIES = "org.freedesktop.DBus.Properties"

events = []


def pump(seconds):
    """Lets AT-SPI events arrive for a while."""
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        while context.pending():
            context.iteration(False)
        time.sleep(0.01)


def until(condition, seconds):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        pump(0.05)
        if condition():
            return True
    return condition()


def listen(event):
    # A description change carries the new text as its data: Orca speaks that.
    said = event.any_data if isinstance(event.any_data, str) else ""
    events.append((event.type, event.source.name, said, event.detail1))


def states(node):
    return {pyatspi.stateToString(s) for s in node.getState().getStates()}


def extents(node):
    e = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return (e.x, e.y, e.width, e.height)


def pixel(x, y):
    """The colour on screen at a point of the root window."""
    out = subprocess.run(["import", "-window", "root", "-crop", f"1x1+{int(x)}+{int(y)}",
                          "-depth", "8", "rgb:-"], capture_output=True, check=True).stdout
    return tuple(out[:3])


def is_red(colour):
    r, g, b = colour
    return r > 150 and g < 90 and b < 90


def complete_types(signature):
    """A signature's complete types: "ia(si)" is "i", "a(si)"."""
    types, depth = [""], 0
    for letter in signature:
        types[-1] += letter
        depth += (letter in "({") - (letter in ")}")
        if depth == 0 and letter != "a":
            types.append("")
    return types[:-1]


def sample(kind, number):
    """A value of a D-Bus type, its integers `number` as far as they reach."""
    if kind in INTEGER_BITS:
        bits = INTEGER_BITS[kind]
        return number % 2**-bits if bits < 0 else max(-2**(bits - 1), min(2**(bits - 1) - 1, number))
    if kind.startswith("a"):
        return {} if kind[1] == "{" else []
    if kind.startswith("("):
        return tuple(sample(part, number) for part in complete_types(kind[1:-1]))
    return {"s": "x", "o": "/", "g": "", "b": True, "d": float(number), "h": 0,
            "v": GLib.Variant("i", number)}[kind]


def calls(signature, names):
    """What is sent to one method: (what, signature, arguments); `names` are
    the strings to give it, each a tuple filling its string arguments."""
    kinds = complete_types(signature)
    if kinds:
        yield "no arguments", "", ()
    if len(kinds) > 1:
        yield "one too few", "".join(kinds[:-1]), tuple(sample(k, 0) for k in kinds[:-1])
    wrong = ["i" if k == "s" else "s" for k in kinds] or ["s"]
    yield "wrong types", "".join(wrong), tuple(sample(k, 0) for k in wrong)
    strings = [i for i, k in enumerate(kinds) if k == "s"]
    for given in names:
        for number in EXTREMES if any(k in INTEGER_BITS for k in kinds) else (0,):
            arguments = [sample(k, number) for k in kinds]
            for i, text in zip(strings, given):
                arguments[i] = text
            yield f"{given} {number}", signature, tuple(arguments)


def every_call_answers(program):
    """Sends every method of every object shown every kind of argument; after
    each, the description must still give its text."""
    session = Gio.bus_get_sync(Gio.BusType.SESSION)
    address = session.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress",
                                None, None, Gio.DBusCallFlags.NONE, -1, None).unpack()[0]
    bus = Gio.DBusConnection.new_for_address_sync(
        address, Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT |
        Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION, None, None)

    def send(name, path, interface, member, signature="", arguments=(), timeout=500):
        return bus.call_sync(name, path, interface, member,
                             GLib.Variant(f"({signature})", arguments) if signature else None,
                             None, Gio.DBusCallFlags.NONE, timeout, None).unpack()

    bus_names = functools.partial(send, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                  "org.freedesktop.DBus")
    name = next(n for n in bus_names("ListNames")[0] if n.startswith(":") and
                bus_names("GetConnectionUnixProcessID", "s", (n,))[0] == program.pid)

    # The objects, root first, each with what its introspection publishes.
    objects, paths, text = [], ["/org/a11y/atspi/accessible/root"], None
    while paths:
        path = paths.pop(0)
        node = ElementTree.fromstring(send(name, path, "org.freedesktop.DBus.Introspectable",
                                           "Introspect")[0])
        objects.append((path, node))
        paths += [child for _, child in send(name, path, ACCESSIBLE, "GetChildren")[0]]
        if send(name, path, PROPERTIES, "Get", "ss", (ACCESSIBLE, "Name"))[0] == "Описание":
            text = path

    first = send(name, text, "org.a11y.atspi.Text", "GetText", "ii", (0, 10))[0]
    sent = {}
    for path, node in objects:
        published = {i.get("name"): [p.get("name") for p in i.findall("property")]
                     for i in node.findall("interface")}
        pairs = [(i, p) for i, properties in published.items() for p in properties + ["x"]]
        methods = [((i.get("name"), m.get("name")),
                    "".join(a.get("type") for a in m.findall("arg") if a.get("direction", "in") == "in"))
                   for i in node.findall("interface") for m in i.findall("method")]
        # A reader may ask anything of editing, published or not.
        methods += [(("org.a11y.atspi.EditableText", m), s) for m, s in EDITING.items()]
        for member, signature in methods:
            for what, signature, arguments in calls(
                    signature, pairs if member[0] == PROPERTIES else [()]):
                started = time.monotonic()
                try:
                    send(name, path, *member, signature, arguments)
                    outcome = "answer"
                except GLib.Error as error:
                    outcome = (Gio.DBusError.get_remote_error(error) or "").rsplit(".", 1)[-1]
                took = time.monotonic() - started
                try:
                    alive = send(name, text, "org.a11y.atspi.Text", "GetText", "ii", (0, 10),
                                 timeout=2000)[0] == first
                except GLib.Error:
                    alive = False
                kind = outcome if took < 0.5 else "slow"
                sent[kind] = sent.get(kind, 0) + 1
                check(alive and kind not in ("slow", "NoReply", "Timeout", ""),
                      f"{path} {'.'.join(member)} {what}: {outcome} in {took:.2f} s, "
                      f"{'still' if alive else 'no longer'} answering")
                if not alive:
                    return
    print("calls sent, by answer:", sent)


def main():
    environment = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
    program = subprocess.Popen([os.environ["TARVELO_BINARY"]], env=environment)
    try:
        run(program)
    finally:
        program.terminate()
        program.wait(10)
    return tally.close()


def run(program):
    for kind in ("object:state-changed:focused", "object:property-change:accessible-description",
                 "object:state-changed:animated", "object:state-changed:busy"):
        pyatspi.Registry.registerEventListener(listen, kind)

    def application():
        desktop = pyatspi.Registry.getDesktop(0)
        return next((a for a in desktop if a is not None and a.get_process_id() == program.pid),
                    None)

    check(until(lambda: application() is not None and application().childCount > 0, 15),
          "the program appears on the accessibility bus")
    app = application()
    check(app.description == "Светеща реклама от три концентрични окръжности.",
          f"application described in words, not {app.description!r}")

    window = app[0]
    check(window.getRole() == pyatspi.ROLE_FRAME, f"window role {window.getRoleName()}")
    check(window.name == "Tarvelo", f"window name {window.name!r}")
    wx, wy, ww, wh = extents(window)
    check((ww, wh) == (461, 345), f"window size {(ww, wh)}")

    controls = list(window)
    check([c.name for c in controls] == [name for _, name, _ in LAYOUT],
          f"reading order {[c.name for c in controls]}")
    by_name = {c.name: c for c in controls}
    for role, name, place in LAYOUT:
        node = by_name.get(name)
        if node is None:
            check(False, f"{name} is exposed")
            continue
        check(node.getRole() == role, f"{name}: role {node.getRoleName()}")
        x, y, w, h = extents(node)
        check((x - wx, y - wy, w, h) == place, f"{name}: extents {(x - wx, y - wy, w, h)}")
    for name, does in (("Стартирай", "Пуска"), ("Спри", "Спира")):
        check(by_name[name].description.startswith(does),
              f"{name} says what it does: {by_name[name].description!r}")
        drives = [(r.getRelationType(), r.getTarget(i).name)
                  for r in by_name[name].getRelationSet() for i in range(r.getNTargets())]
        check(drives == [(pyatspi.RELATION_CONTROLLER_FOR, "Светеща реклама")],
              f"{name} controls the drawing area alone: {drives}")
    description = by_name["Описание"]
    check("editable" not in states(description), "the description reads as read-only")
    bars = [n for filler in description for n in filler if n.getRole() == pyatspi.ROLE_SCROLL_BAR]
    check(bars and all(b.name for b in bars), "the scroll bars have names")

    # The description box: true lines, each ending with its break and standing
    # where it is, in view (the first six) or scrolled out of it; hit tests
    # anywhere in a letter find that letter.
    text = description.queryText()
    start, tops = 0, []
    for line in range(20):
        got, s, e = text.getTextAtOffset(start, pyatspi.TEXT_BOUNDARY_LINE_START)
        check(s == start and got.endswith("\n") and "\n" not in got[:-1],
              f"line {line}: {s}..{e} {got!r}")
        box = text.getCharacterExtents(s, pyatspi.DESKTOP_COORDS)
        tops.append(box[1])
        for x in (box[0] + box[2] // 2, box[0] + box[2] - 1)[:2 if line < 6 else 0]:
            hit = text.getOffsetAtPoint(x, box[1] + box[3] // 2, pyatspi.DESKTOP_COORDS)
            check(hit == s, f"line {line}: hit test at x {x} of its first letter gives {hit}")
        start = e
    steps = {b - a for a, b in zip(tops, tops[1:])}
    check(len(steps) == 1 and steps.pop() > 10, f"lines stand one below another: {tops}")
    # Off the text, on the frame or the scroll bar, a hit test finds nothing.
    dx, dy, dw, dh = extents(description)
    for x, where in ((dx, "frame"), (dx + dw - 6, "scroll bar")):
        hit = text.getOffsetAtPoint(x, dy + dh // 2, pyatspi.DESKTOP_COORDS)
        check(hit == -1, f"a hit test on the {where} gives {hit}")
    # Scrolled to the end, the first lines stand above the box, where they are.
    text.setCaretOffset(text.characterCount)
    first = lambda: text.getCharacterExtents(0, pyatspi.DESKTOP_COORDS)[1]
    check(until(lambda: first() < dy, 3) and
          text.getCharacterExtents(1001, pyatspi.DESKTOP_COORDS)[1] - first() == tops[19] - tops[0],
          f"scrolled to the end, the first line stands at {first()}, above the box at {dy}")
    text.setCaretOffset(0)

    # Every query answers, and quickly: a hung one would freeze the program.
    Atspi.set_timeout(2000, 2000)
    for boundary, offset, *ranges in UNITS:
        for ask, expected in zip(("getTextAtOffset", "getTextBeforeOffset",
                                  "getTextAfterOffset"), ranges):
            started = time.monotonic()
            try:
                _, s, e = getattr(text, ask)(offset, boundary)
            except Exception as error:  # a time-out: the program no longer answers
                check(False, f"{ask}({offset}, {boundary}) fails: {error}")
                return
            check((s, e) == (expected or (-1, -1)) and time.monotonic() - started < 0.5,
                  f"{ask}({offset}, {boundary}) gives {(s, e)}, not {expected}")
    # Paragraphs, which Qt's bridge asks for from 6.8 on: each line with its break.
    if tuple(int(n) for n in app.get_toolkit_version().split(".")[:2]) >= (6, 8):
        for offset, paragraph in PARAGRAPHS:
            got = Atspi.Text.get_string_at_offset(description, offset,
                                                  Atspi.TextGranularity.PARAGRAPH)
            check((got.start_offset, got.end_offset) == paragraph,
                  f"paragraph at {offset}: {(got.start_offset, got.end_offset)}")
    for ask, start, end, covered in RANGES:
        coordinates = (pyatspi.DESKTOP_COORDS,) if ask == "getRangeExtents" else ()
        started = time.monotonic()
        try:
            got = getattr(text, ask)(start, end, *coordinates)
        except Exception as error:
            check(False, f"{ask}({start}, {end}) fails: {error}")
            return
        took = time.monotonic() - started
        if ask == "getText":
            right = got == text.getText(*covered)
        else:
            x, y, w, h = tuple(got)
            boxes = [text.getCharacterExtents(i, pyatspi.DESKTOP_COORDS) for i in covered or ()]
            right = (all(x <= bx and y <= by and bx + bw <= x + w and by + bh <= y + h
                         for bx, by, bw, bh in boxes) if covered else (x, y, w, h) == (-1, -1, 0, 0))
        check(right and took < 0.5, f"{ask}({start}, {end}) gives {got} in {took:.2f} s")
    Atspi.set_timeout(-1, -1)

    # Tab order, from the focus events a screen reader follows.
    window_id = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(program.pid), "--name",
                                "Tarvelo"], capture_output=True, text=True).stdout.split()
    subprocess.run(["xdotool", "windowfocus", "--sync", window_id[-1]], check=False)
    check(until(lambda: "focused" in states(description), 5), "focus starts in the description")
    events.clear()
    for _ in range(4):
        subprocess.run(["xdotool", "key", "Tab"], check=True)
        pump(0.3)
    focused = [name for kind, name, _, on in events if kind.endswith("focused") and on]
    check(focused == ["Светеща реклама", "Стартирай", "Спри", "Описание"],
          f"tab order {focused}")

    # Start and Stop through their actions: the state told, the arcs on screen.
    picture = by_name["Светеща реклама"]
    check(picture.description.endswith(STOPPED) and "animated" not in states(picture),
          "stopped at first")
    for button, told, red in (("Стартирай", RUNNING, True), ("Спри", STOPPED, False)):
        events.clear()
        by_name[button].queryAction().doAction(0)
        check(until(lambda: any(kind.endswith("accessible-description") and name == button
                                and desc.endswith(told) for kind, name, desc, _ in events), 3),
              f"{button} tells {told!r} through its own description, as text Orca speaks")
        check(any(kind.endswith("accessible-description") and name == "Светеща реклама"
                  and desc.endswith(told) for kind, name, desc, _ in events),
              f"the drawing area tells {told!r}")
        check(("animated" in states(picture)) == red and ("busy" in states(picture)) == red,
              f"after {button} the drawing area is {'' if red else 'not '}animated and busy")
        told_states = {kind.rsplit(":", 1)[1] for kind, name, _, on in events
                       if kind.startswith("object:state-changed:") and name == "Светеща реклама"
                       and on == red}
        check({"animated", "busy"} <= told_states,
              f"listeners are told the drawing area's new states after {button}: {told_states}")
        check(until(lambda: is_red(pixel(wx + RED_AT[0], wy + RED_AT[1])) == red, 3),
              f"after {button} the red arc is {'drawn' if red else 'cleared'}")


    # Last: the calls may move focus, the caret and the window.
    every_call_answers(program)


if __name__ == "__main__":
    sys.exit(main())
