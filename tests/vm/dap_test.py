#!/usr/bin/env python3
"""Debug Adapter Protocol sessions with stackvm --dap, driven by a scripted client.

Compiles programs of tests/vm/debug with stackcc -d beside their .dbg files,
then runs sessions that check every response and event: breakpoints by line
and function (with conditions), stepping both ways, scopes and variables with
structures and arrays expanded, evaluate, output and device calls, a run-time
error as an exception, malformed and unknown requests answered with errors,
and the end of the program.
"""
import argparse
import json
import os
import queue
import shutil
import subprocess
import sys
import tempfile
import threading

TIMEOUT = 20


class Failure(Exception):
    pass


def check(condition, what, message=None):
    if not condition:
        raise Failure(what + ("" if message is None else ": " + json.dumps(message)))


class Client:
    def __init__(self, stackvm):
        self.proc = subprocess.Popen([stackvm, "--dap"], stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.messages = queue.Queue()
        self.seq = 1
        self.pending = []
        self.events = []
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        out = self.proc.stdout
        while True:
            header = b""
            while not header.endswith(b"\r\n\r\n"):
                byte = out.read(1)
                if not byte:
                    self.messages.put(None)
                    return
                header += byte
            length = None
            for line in header.decode().split("\r\n"):
                if line.startswith("Content-Length:"):
                    length = int(line.split(":", 1)[1])
            body = out.read(length)
            self.messages.put(json.loads(body))

    def raw(self, data):
        self.proc.stdin.write(data)
        self.proc.stdin.flush()

    def send(self, command, arguments=None):
        message = {"seq": self.seq, "type": "request", "command": command}
        if arguments is not None:
            message["arguments"] = arguments
        self.seq += 1
        body = json.dumps(message).encode()
        self.raw(b"Content-Length: %d\r\n\r\n%s" % (len(body), body))
        return message["seq"]

    def next_message(self):
        if self.pending:
            return self.pending.pop(0)
        try:
            message = self.messages.get(timeout=TIMEOUT)
        except queue.Empty:
            raise Failure("no message within %d s" % TIMEOUT)
        check(message is not None, "stackvm ended the session early")
        return message

    def response(self, seq, success=True):
        while True:
            m = self.next_message()
            if m["type"] == "response":
                check(m["request_seq"] == seq, "a response to request %d" % seq, m)
                check(m["success"] == success,
                      "request %d %s" % (seq, "succeeds" if success else "fails"), m)
                return m
            self.events.append(m)

    def request(self, command, arguments=None, success=True):
        return self.response(self.send(command, arguments), success)

    def event(self, name):
        for i, m in enumerate(self.events):
            if m.get("event") == name:
                return self.events.pop(i)
        while True:
            m = self.next_message()
            check(m["type"] == "event", "an event, not a response", m)
            if m["event"] == name:
                return m
            self.events.append(m)

    def stopped(self, reason, line=None):
        e = self.event("stopped")
        check(e["body"]["reason"] == reason, "stopped for " + reason, e)
        check(e["body"]["threadId"] == 1, "thread 1", e)
        if line is not None:
            self.expect_line(line)
        return e

    def top(self):
        frames = self.request("stackTrace", {"threadId": 1})["body"]["stackFrames"]
        return frames

    def expect_line(self, line, function=None):
        frames = self.top()
        check(frames[0]["line"] == line, "stopped at line %d" % line, frames[0])
        if function:
            check(frames[0]["name"] == function, "in " + function, frames[0])

    def variables(self, reference):
        body = self.request("variables", {"variablesReference": reference})["body"]
        return {v["name"]: v for v in body["variables"]}

    def close(self):
        self.request("disconnect")
        status = self.proc.wait(timeout=TIMEOUT)
        check(status == 0, "stackvm --dap ends with status 0 after disconnect", status)


def start(stackvm, program, **launch):
    c = Client(stackvm)
    caps = c.request("initialize", {"adapterID": "stackvm", "linesStartAt1": True})["body"]
    check(caps.get("supportsStepBack") and caps.get("supportsConfigurationDoneRequest")
          and caps.get("supportsFunctionBreakpoints")
          and caps.get("supportsConditionalBreakpoints"), "capabilities", caps)
    arguments = {"program": program}
    arguments.update(launch)
    c.request("launch", arguments)
    c.event("initialized")
    return c


def session_locals(stackvm, work):
    path = os.path.join(work, "locals.c")
    c = start(stackvm, path)
    placed = c.request("setBreakpoints", {"source": {"path": path},
                                          "breakpoints": [{"line": 4}, {"line": 99}]})
    bps = placed["body"]["breakpoints"]
    check(bps[0]["verified"] and bps[0]["line"] == 4, "line 4 placed", bps)
    check(not bps[1]["verified"] and "No line 99" in bps[1]["message"], "line 99 refused", bps)
    funcs = c.request("setFunctionBreakpoints",
                      {"breakpoints": [{"name": "sum", "condition": "count == 4"},
                                       {"name": "nosuch"}]})["body"]["breakpoints"]
    check(funcs[0]["verified"] and not funcs[1]["verified"], "function breakpoints", funcs)
    c.request("configurationDone")
    c.stopped("breakpoint")
    c.expect_line(10, "sum")
    threads = c.request("threads")["body"]["threads"]
    check(threads == [{"id": 1, "name": "main"}], "one thread", threads)
    frames = c.top()
    check([f["name"] for f in frames] == ["sum", "main"], "two frames", frames)
    check(frames[0]["source"]["path"] == path, "the source's path", frames[0])
    scopes = c.request("scopes", {"frameId": frames[0]["id"]})["body"]["scopes"]
    check([s["name"] for s in scopes] == ["Locals", "Globals"], "scopes", scopes)
    local = c.variables(scopes[0]["variablesReference"])
    check({k: v["value"] for k, v in local.items()} == {"count": "4", "i": "0", "s": "0"},
          "sum's locals", local)
    check(local["count"]["type"] == "int", "typed", local)
    glob = c.variables(scopes[1]["variablesReference"])
    check(glob["total"]["value"] == "0", "the global", glob)
    caller = c.request("evaluate", {"expression": "total + 1", "frameId": frames[1]["id"]})
    check(caller["body"]["result"] == "1", "evaluate in main's frame", caller)
    cont = c.request("continue", {"threadId": 1})
    check(cont["body"].get("allThreadsContinued") is True, "continue's body", cont)
    c.stopped("breakpoint", 4)
    r = c.request("evaluate", {"expression": "n * 10", "frameId": 1})
    check(r["body"]["result"] == "10", "n * 10", r)
    c.request("next", {"threadId": 1})
    c.stopped("step", 5)
    c.request("stepOut", {"threadId": 1})
    c.stopped("step")
    c.expect_line(12, "sum")
    c.request("stepBack", {"threadId": 1})
    c.stopped("step")
    c.expect_line(12, "sum")
    c.request("reverseContinue", {"threadId": 1})
    c.stopped("breakpoint", 10)
    c.request("evaluate", {"expression": "nosuch", "frameId": 1}, success=False)
    c.request("stepIn", {"threadId": 1})
    c.stopped("step", 11)
    # Malformed and unknown messages: answered, and the session goes on.
    body = b"{not json"
    c.raw(b"Content-Length: %d\r\n\r\n%s" % (len(body), body))
    bad = c.next_message()
    check(bad["type"] == "response" and not bad["success"] and bad["request_seq"] == 0,
          "malformed JSON answered", bad)
    c.request("frobnicate", {}, success=False)
    c.request("variables", {"variablesReference": 999}, success=False)
    c.request("variables", {"variablesReference": "x"}, success=False)
    c.request("scopes", {"frameId": 42}, success=False)
    c.request("launch", {"program": path}, success=False)
    c.request("setBreakpoints", {"source": {"path": path}, "breakpoints": []})
    c.request("setFunctionBreakpoints", {"breakpoints": []})
    c.request("continue", {"threadId": 1})
    out = c.event("output")
    check(out["body"] == {"category": "stdout", "output": "30\n"}, "the program's output", out)
    exited = c.event("exited")
    check(exited["body"]["exitCode"] == 0, "exit code", exited)
    c.event("terminated")
    c.request("next", {"threadId": 1}, success=False)
    c.close()


def session_structs(stackvm, work):
    path = os.path.join(work, "structs.c")
    c = start(stackvm, path, stopOnEntry=True)
    c.request("setBreakpoints", {"source": {"path": "structs.c"}, "breakpoints": [{"line": 18}]})
    c.request("configurationDone")
    c.stopped("entry")
    c.request("continue", {"threadId": 1})
    c.stopped("breakpoint", 18)
    r = c.request("evaluate", {"expression": "corners", "frameId": 1})["body"]
    check(r["variablesReference"] > 0, "an array of structures expands", r)
    elements = c.variables(r["variablesReference"])
    check(list(elements) == ["[0]", "[1]"], "two elements", elements)
    members = c.variables(elements["[1]"]["variablesReference"])
    check({k: v["value"] for k, v in members.items()} == {"x": "7", "y": "-2", "tag": "65 'A'"},
          "the members", members)
    p = c.request("evaluate", {"expression": "cursor->y", "frameId": 1})["body"]
    check(p["result"] == "-2" and p["variablesReference"] == 0, "a member through a pointer", p)
    c.close()


def session_devices(stackvm, work):
    path = os.path.join(work, "devices.c")
    c = start(stackvm, path, script=os.path.join(work, "devices.script"))
    c.request("setFunctionBreakpoints", {"breakpoints": [{"name": "control",
                                                          "condition": "level > 20"}]})
    c.request("configurationDone")
    c.stopped("breakpoint")
    c.expect_line(3, "control")
    console = c.event("output")
    check(console["body"]["category"] == "console"
          and console["body"]["output"] == "sensor(0)\nsensor(1)\n", "device calls", console)
    r = c.request("evaluate", {"expression": "level", "frameId": 1})
    check(r["body"]["result"] == "25", "the condition held", r)
    c.request("continue", {"threadId": 1})
    c.event("exited")
    c.event("terminated")
    c.close()


def session_errors(stackvm, work):
    path = os.path.join(work, "errors.c")
    c = start(stackvm, path)
    c.request("configurationDone")
    e = c.stopped("exception")
    check("division by zero" in e["body"]["description"], "the error's text", e)
    c.expect_line(3, "ratio")
    c.request("continue", {"threadId": 1}, success=False)
    c.request("stepBack", {"threadId": 1})
    c.stopped("step")
    c.close()


def session_launch_errors(stackvm, work):
    c = Client(stackvm)
    c.request("initialize", {})
    c.request("stackTrace", {"threadId": 1}, success=False)
    c.request("launch", {}, success=False)
    c.request("launch", {"program": os.path.join(work, "missing.c")}, success=False)
    c.request("launch", {"program": os.path.join(work, "locals.c"), "steps": "many"},
              success=False)
    c.raw(b"Content-Length: x\r\n\r\n")
    bad = c.next_message()
    check(not bad["success"], "a bad header answered", bad)
    c.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--stackcc", required=True)
    parser.add_argument("--stackvm", required=True)
    parser.add_argument("--header", required=True)
    parser.add_argument("--cases", required=True)
    args = parser.parse_args()
    failed = 0
    with tempfile.TemporaryDirectory() as work:
        for entry in os.listdir(args.cases):
            if not entry.endswith((".expected", ".commands")):
                shutil.copy(os.path.join(args.cases, entry), work)
        shutil.copy(args.header, work)
        with open(os.path.join(work, "Sys10.c"), "w") as f:
            f.write('#include "stackvm.h"\nint sensor(int port);\n')
        for program in ("locals", "structs", "devices", "errors"):
            subprocess.run([args.stackcc, program + ".c", "-d"], cwd=work, check=True,
                           capture_output=True)
        for session in (session_locals, session_structs, session_devices, session_errors,
                        session_launch_errors):
            try:
                session(args.stackvm, work)
                print("ok   " + session.__name__)
            except Failure as e:
                failed += 1
                print("FAIL %s: %s" % (session.__name__, e))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
