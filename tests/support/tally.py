"""The checks of a Python test, counted, each failure said as it happens, and
closed with the line ctest's readers know: 'N passed, N failed'."""

passed, failed = 0, 0


def check(condition, what):
    global passed, failed
    if condition:
        passed += 1
    else:
        failed += 1
        print("FAIL:", what, flush=True)


def close():
    """Says the tally; the exit status for it."""
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0
