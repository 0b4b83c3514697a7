#!/usr/bin/python3
"""A viewer written with another bus library (dbus-python), for the viewer link's bus tests.

Modes:
  serve     the object with Invoke(i dispid, ai args) -> (i result, ai args); dispatch id 12 leaves
            the timestamp (from --timestamp, growing by --step per call) in the second argument
  noobject  owns the name and answers messages (introspection too), but offers no object
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
parser.add_argument("--mode", choices=["serve", "noobject", "silent"], default="serve")
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


class Viewer(dbus.service.Object):
    def __init__(self):
        super().__init__(bus, "/" + options.name.replace(".", "/"))
        self.next = options.timestamp

    @dbus.service.method(options.name, in_signature="iai", out_signature="iai")
    def Invoke(self, dispid, args):
        if dispid != 12:
            raise dbus.exceptions.DBusException("unknown dispatch id", name=options.name + ".Error.MemberNotFound")
        args = [int(a) for a in args]
        args[1] = self.next
        self.next += options.step
        return dbus.Int32(7), dbus.Array(args, signature="i")


if options.mode == "serve":
    viewer = Viewer()
name = dbus.service.BusName(options.name, bus, do_not_queue=True)
ready()
GLib.MainLoop().run()
