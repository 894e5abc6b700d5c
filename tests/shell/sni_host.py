#!/usr/bin/python3
"""Plays a StatusNotifierItem tray host (as KDE Plasma or GNOME's AppIndicator extension do) on the
session bus: registers itself with the watcher, starts the program, finds its item, reads the icon and
the menu it exports and activates it as a left click on the icon would; then ends the watcher, as a
crashing panel does, and starts another.

    sni_host.py PROGRAM [ARGS...]      (DBUS_SESSION_BUS_ADDRESS, DISPLAY and SNI_WATCHER_PID, the
                                        running watcher's process, set by the caller)
"""
import os
import signal
import subprocess
import sys
import time

import dbus

LIMIT = 30  # seconds for each thing awaited
WATCHER = "org.kde.StatusNotifierWatcher"


def fail(text):
    print("SNI TEST FAILED: " + text, file=sys.stderr)
    sys.exit(1)


def wait_for(what, probe):
    """Returns probe()'s first true answer, asking every 50 ms for at most LIMIT seconds."""
    end = time.monotonic() + LIMIT
    while time.monotonic() < end:
        answer = probe()
        if answer:
            return answer
        time.sleep(0.05)
    fail("no " + what + " within %d s" % LIMIT)


def labels(layout):
    """The labels a host shows of a com.canonical.dbusmenu layout, depth first, separators as "-";
    entries marked invisible (the ringing entries while nothing rings) are left out, as a host does."""
    _, props, children = layout
    out = []
    if not props.get("visible", True):
        return out
    if props.get("type") == "separator":
        out.append("-")
    elif "label" in props:
        out.append(str(props["label"]))
    for child in children:
        out.extend(labels(child))
    return out


def check_icon(item):
    """The item names the program's icon in the icon theme, so that the host draws it from its own theme
    at whatever size its panel needs, and gives it as pictures at more than one size for hosts that
    draw those instead."""
    def prop(name):
        return item.Get("org.kde.StatusNotifierItem", name, dbus_interface=dbus.PROPERTIES_IFACE)

    name = str(prop("IconName"))
    sizes = set()
    for width, height, data in prop("IconPixmap"):
        width, height = int(width), int(height)
        if len(data) != width * height * 4:
            fail("an IconPixmap of %dx%d holds %d bytes" % (width, height, len(data)))
        # ARGB in network byte order: a drawn icon has opaque and clear pixels.
        alphas = set(bytes(data)[0::4])
        if not (255 in alphas and 0 in alphas):
            fail("the %dx%d IconPixmap is not the icon: alpha values %s" % (width, height, sorted(alphas)[:8]))
        sizes.add((width, height))
    print("icon name:", repr(name), "pixmap sizes:", sorted(sizes))
    if name != "belvane":
        fail("the item's IconName is %r, not the theme's belvane" % name)
    if len(sizes) < 2:
        fail("the item gives its icon at %d size(s), not several: %s" % (len(sizes), sorted(sizes)))


def watcher_not_ready_at_first(bus):
    """A watcher that owns its bus name before it can take items (its first answers are errors) still
    gets the program's item: the program asks again until the watcher takes it."""
    wait_for("the old watcher gone", lambda: not bus.name_has_owner(WATCHER))
    mock = subprocess.Popen([sys.executable, "-m", "dbusmock", WATCHER, "/StatusNotifierWatcher", WATCHER],
                            stdout=subprocess.DEVNULL)
    try:
        wait_for("the mock watcher", lambda: bus.name_has_owner(WATCHER))
        control = dbus.Interface(bus.get_object(WATCHER, "/StatusNotifierWatcher"), "org.freedesktop.DBus.Mock")
        control.AddProperties(WATCHER, {"RegisteredStatusNotifierItems": dbus.Array([], signature="s"),
                                        "IsStatusNotifierHostRegistered": True})
        # The first registration is refused, every later one taken.
        control.AddMethod(WATCHER, "RegisterStatusNotifierItem", "s", "",
                          "if not getattr(self, 'refused_once', False):\n"
                          "    self.refused_once = True\n"
                          "    raise dbus.exceptions.DBusException('not ready yet', "
                          "name='org.freedesktop.DBus.Error.Failed')")

        def registrations():
            return [call for call in control.GetCalls() if call[1] == "RegisterStatusNotifierItem"]

        wait_for("the item registered again after the watcher refused it", lambda: len(registrations()) >= 2)
        print("a watcher that refuses the item at first gets it when it is ready:", str(registrations()[-1][2][0]))
    finally:
        mock.terminate()
        mock.wait(10)


def main():
    bus = dbus.SessionBus()
    watcher = bus.get_object(WATCHER, "/StatusNotifierWatcher")
    watcher.RegisterStatusNotifierHost(bus.get_unique_name(), dbus_interface=WATCHER)
    if not watcher.Get(WATCHER, "IsStatusNotifierHostRegistered", dbus_interface=dbus.PROPERTIES_IFACE):
        fail("the watcher did not take the host")

    program = subprocess.Popen(sys.argv[1:])
    try:
        def item_name():
            items = watcher.Get(WATCHER, "RegisteredStatusNotifierItems", dbus_interface=dbus.PROPERTIES_IFACE)
            return str(items[0]) if items else None

        entry = wait_for("item registered by the program", item_name)
        service, _, path = entry.partition("/")
        item = bus.get_object(service, "/" + path if path else "/StatusNotifierItem")
        check_icon(item)
        menu_path = item.Get("org.kde.StatusNotifierItem", "Menu", dbus_interface=dbus.PROPERTIES_IFACE)
        menu = bus.get_object(service, menu_path)

        def entries():
            _, layout = menu.GetLayout(0, -1, [], dbus_interface="com.canonical.dbusmenu")
            return labels(layout)

        first = wait_for("menu entries", entries)
        print("exported menu:", first)
        for caption in ["闹钟", "选项", "皮肤", "电子表", "圣诞老人", "关于", "帮助", "退出"]:
            if caption not in first:
                fail("the exported menu has no \"%s\": %s" % (caption, first))

        def activate_until(caption):
            item.Activate(0, 0, dbus_interface="org.kde.StatusNotifierItem")
            wait_for("menu entry \"%s\" after activation" % caption, lambda: caption in entries())
            if program.poll() is not None:
                fail("the program ended")

        def face_shown():
            return subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(program.pid), "--name",
                                   "^Belvane$"], capture_output=True).returncode == 0

        # The first entry names the next toggle: "恢复" while the face is in the tray (the options
        # start it there), "隐藏" or "Send to tray" while it is shown.
        hidden = first[0] == "恢复"
        for _ in range(2):
            activate_until("隐藏" if hidden else "恢复")
            hidden = not hidden
            wait_for("face " + ("hidden" if hidden else "shown"), lambda: face_shown() != hidden)
            # A host asking for the item's own menu gets no hand-made menu in the way of the next click.
            item.ContextMenu(0, 0, dbus_interface="org.kde.StatusNotifierItem")
        print("activation toggles the face; the menu has its entries")

        # The watcher goes away (the desktop's panel crashed): a face hidden in the tray comes back.
        if not hidden:
            activate_until("恢复")
            wait_for("face hidden", lambda: not face_shown())
        os.kill(int(os.environ["SNI_WATCHER_PID"]), signal.SIGKILL)
        wait_for("face shown once the watcher is gone", face_shown)
        # A watcher and a host come back: the program's item is registered again, the face stays.
        watcher_again = subprocess.Popen(["status-notifier-watcher"], stdout=subprocess.DEVNULL)
        try:
            watcher = wait_for("a new watcher", lambda: bus.name_has_owner(WATCHER) and
                               bus.get_object(WATCHER, "/StatusNotifierWatcher"))
            watcher.RegisterStatusNotifierHost(bus.get_unique_name(), dbus_interface=WATCHER)
            wait_for("item registered again with the new watcher", item_name)
            if not face_shown():
                fail("the face was hidden again when the watcher came back")
            print("a face in the tray comes back when the watcher goes; the item returns with a new one")
        finally:
            watcher_again.terminate()
            watcher_again.wait(10)
        watcher_not_ready_at_first(bus)
    finally:
        program.terminate()
        try:
            program.wait(10)
        except subprocess.TimeoutExpired:
            program.kill()


main()
