#!/usr/bin/python3
"""A viewer written with another bus library (dbus-python), for the viewer link's bus tests.

Modes:
  serve     the object with Invoke(i dispid, ai args) -> (i result, ai args); dispatch id 12 leaves
            the timestamp (from --timestamp, growing by --step per call) in the second argument
  noobject  owns the name and answers messages (introspection too), but offers no object with
            the viewer's interface
  refuse    owns the name and answers introspection of the object's path with an error
  badreply  serves the object, but Invoke returns one argument fewer than it was given
  fail      serves the object, but Invoke answers every call with an error
  silent    owns the name and never answers anything
Prints "ready" once it owns the name. With --log, writes each method call's member to the file.
"""
import argparse
import sys
import time

import dbus
import dbus.lowlevel
import dbus.service

parser = argparse.ArgumentParser()
parser.add_argument("--name", default="Corvantix.Q7Conduit")
parser.add_argument("--mode", choices=["serve", "noobject", "refuse", "badreply", "fail", "silent"], default="serve")
parser.add_argument("--timestamp", type=int, default=0)
parser.add_argument("--step", type=int, default=1000)
parser.add_argument("--log")
options = parser.parse_args()


def ready():
    print("ready", flush=True)


if options.mode == "silent":
    bus = dbus.SessionBus()
    name = dbus.service.BusName(options.name, bus, do_not_queue=True)
    ready()
    while True:
        time.sleep(60)

import dbus.mainloop.glib
from gi.repository import GLib

dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
log = open(options.log, "a", buffering=1) if options.log else None


def log_calls(_bus, message):
    if log and message.get_type() == 1:  # method call
        log.write(message.get_member() + "\n")
    return dbus.lowlevel.HANDLER_RESULT_NOT_YET_HANDLED  # leave the call to the object


bus.add_message_filter(log_calls)
OBJECT_PATH = "/" + options.name.replace(".", "/")


def refuse_introspection(connection, message):
    if (
        message.get_type() == 1
        and message.get_member() == "Introspect"
        and message.get_path() == OBJECT_PATH
    ):
        connection.send_message(
            dbus.lowlevel.ErrorMessage(message, "org.freedesktop.DBus.Error.AccessDenied", "refused")
        )
        return dbus.lowlevel.HANDLER_RESULT_HANDLED
    return dbus.lowlevel.HANDLER_RESULT_NOT_YET_HANDLED


if options.mode == "refuse":
    bus.add_message_filter(refuse_introspection)


class Viewer(dbus.service.Object):
    def __init__(self):
        super().__init__(bus, OBJECT_PATH)
        self.next = options.timestamp

    @dbus.service.method(options.name, in_signature="iai", out_signature="iai")
    def Invoke(self, dispid, args):
        if options.mode == "fail":
            raise dbus.exceptions.DBusException("viewer is busy", name=options.name + ".Error.Busy")
        if dispid != 12:
            raise dbus.exceptions.DBusException("unknown dispatch id", name=options.name + ".Error.MemberNotFound")
        args = [int(a) for a in args]
        args[1] = self.next
        self.next += options.step
        if options.mode == "badreply":
            args = args[:-1]
        return dbus.Int32(7), dbus.Array(args, signature="i")


if options.mode in ("serve", "badreply", "fail"):
    viewer = Viewer()
name = dbus.service.BusName(options.name, bus, do_not_queue=True)
ready()
GLib.MainLoop().run()
