"""A window of another toolkit (GTK) that offers files by drag and drop, as a
file manager does: press on its label and drag to a drop target.

Usage: gtk_drag_source.py TITLE FILE...
"""

import sys

import gi

gi.require_version("Gtk", "3.0")
from gi.repository import Gdk, GLib, Gtk  # noqa: E402

title, files = sys.argv[1], sys.argv[2:]
uris = [GLib.filename_to_uri(path, None) for path in files]

window = Gtk.Window(title=title)
window.set_default_size(300, 200)
box = Gtk.EventBox()
label = Gtk.Label(label="drag these files")
box.add(label)
window.add(box)
box.drag_source_set(Gdk.ModifierType.BUTTON1_MASK, [], Gdk.DragAction.COPY)
box.drag_source_add_uri_targets()
box.connect("drag-data-get", lambda widget, context, data, info, time: data.set_uris(uris))
window.connect("destroy", Gtk.main_quit)
window.show_all()
Gtk.main()
