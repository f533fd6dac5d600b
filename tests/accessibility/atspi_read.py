#!/usr/bin/python3
# Reads the desktop program's windows over the accessibility bus, as a
# screen reader does: every control a user can reach (an edit, list, box,
# button, slider, tab) must be spoken by a name of its own, not left blank,
# not its group box's title and not its value; a radio button inside a named
# group, whose name the reader speaks as it enters. Presses Connect through the
# bus, as a screen reader's user would, to reach the main window.
#   atspi_read.py APP-NAME
# Exit status 0 when both windows read well; what is wrong goes to stderr.
import sys
import time

import pyatspi

INPUT_ROLES = {
    pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_CHECK_BOX,
    pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_SLIDER, pyatspi.ROLE_PAGE_TAB,
    pyatspi.ROLE_SPIN_BUTTON, pyatspi.ROLE_LIST,
}


def find_window(app_name, title, seconds=30):
    deadline = time.time() + seconds
    while time.time() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is None or app.name != app_name:
                continue
            for window in app:
                if window is not None and window.name == title:
                    return window
        time.sleep(0.3)
    return None


def walk(node, group, out):
    try:
        role = node.getRole()
        states = node.getState()
    except Exception:
        return
    if not states.contains(pyatspi.STATE_SHOWING):
        return
    if role == pyatspi.ROLE_PANEL and node.name:
        group = node.name
    if role in INPUT_ROLES and states.contains(pyatspi.STATE_SENSITIVE):
        value = ""
        try:
            value = node.queryText().getText(0, -1) if role != pyatspi.ROLE_PUSH_BUTTON else ""
        except Exception:
            pass
        out.append((node.getRoleName(), node.name or "", group, value))
    for child in node:
        if child is not None:
            walk(child, group, out)


def press(window, name):
    def find(node):
        if node.getRole() == pyatspi.ROLE_PUSH_BUTTON and node.name == name:
            return node
        for child in node:
            found = find(child) if child is not None else None
            if found:
                return found
        return None
    button = find(window)
    if button is not None:
        button.queryAction().doAction(0)


def read(window, what):
    controls = []
    walk(window, None, controls)
    faults = []
    for role, name, group, value in controls:
        if not name.strip():
            faults.append(f"{what}: a {role} has no name")
        elif group and name == group:
            faults.append(f"{what}: a {role} is named by its group \"{group}\"")
        elif role in ("combo box", "slider") and value and name == value:
            faults.append(f"{what}: a {role} is named by its value \"{value}\"")
        elif role == "radio button" and not group:
            faults.append(f"{what}: the radio button \"{name}\" is in no named group")
    print(f"{what}: {len(controls)} controls read")
    for role, name, group, _ in controls:
        print(f"  {role}: {name}" + (f" (in {group})" if role == "radio button" else ""))
    return controls, faults


def main():
    app = sys.argv[1]
    faults = []
    connect = find_window(app, "Connect to tracker")
    if connect is None:
        print("the connect window never appeared on the bus", file=sys.stderr)
        return 1
    controls, f = read(connect, "connect window")
    faults += f
    if not any(name.startswith("Device path") for _, name, _, _ in controls):
        faults.append("connect window: the device path box is not named \"Device path\"")
    press(connect, "Connect")
    main_window = find_window(app, "Varnel tracker configuration", 60)
    if main_window is None:
        print("the main window never appeared on the bus", file=sys.stderr)
        return 1
    controls, f = read(main_window, "main window")
    faults += f
    for wanted in ("Callsign", "Path", "Symbol code", "Port A speed"):
        if not any(name.rstrip(":") == wanted for _, name, _, _ in controls):
            faults.append(f"main window: no control named \"{wanted}\"")
    for fault in faults:
        print(fault, file=sys.stderr)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
