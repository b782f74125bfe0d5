#!/usr/bin/env python3
"""The simulated world: game servers and the master list server on loopback.

One process runs every simulated part on one asyncio event loop in a background thread.
It is configured by a JSON scenario file and/or live through a control port: a TCP
listener on 127.0.0.1 that answers each request line with one response line.

    simworld.py [--scenario FILE] [--ready-file F] [-- command args...]

With a command, the world starts, the command runs with SB_SIMWORLD_CONTROL=127.0.0.1:PORT
in its environment, the world stops and simworld exits with the command's exit code.
Without one, the world runs until SIGINT, SIGTERM or the "stop" request.

From Python:

    from simworld import World
    with World() as world:
        world.request("game.add", address="127.1.0.5:27910", info={"hostname": "Alpha"})

Each part of the world is a module beside this file (see MODULES) with a function
attach(world) that registers its requests, its scenario section and its clean-up.
"""

import argparse
import asyncio
import importlib
import importlib.util
import inspect
import json
import os
import signal
import socket
import subprocess
import sys
import threading

HERE = os.path.dirname(os.path.abspath(__file__))
if HERE not in sys.path:
    sys.path.insert(0, HERE)

# The parts of the world, each a module beside this file. A module that is not there is
# skipped, so parts can be added one at a time.
MODULES = ("gameserver", "master")

CONTROL_ENV = "SB_SIMWORLD_CONTROL"
# A whole scenario may come through one request line, so allow long lines.
MAX_LINE = 64 * 1024 * 1024
# How long a caller in another thread waits for the loop to answer one request.
REQUEST_TIMEOUT = 60.0


class RequestError(Exception):
    """A request that cannot be carried out; its text goes back to the caller."""


class Op:
    def __init__(self, handler, positional, help_text):
        self.handler = handler
        self.positional = positional
        self.help = help_text


class World:
    """The event loop, the control port and the registry of requests."""

    def __init__(self, scenario=None, modules=MODULES):
        self.loop = None
        self.ops = {}
        self.sections = {}
        self.closers = []
        self.resetters = []
        self.control_address = None
        self.stopped = threading.Event()
        self._thread = None
        self._server = None
        self._clients = set()
        self._module_names = modules
        self._initial_scenario = scenario
        self.parts = {}
        self._register_builtin_ops()

    # ---- registration, for the modules' attach(world) ----

    def register_op(self, name, handler, positional=(), help_text=""):
        """handler(args: dict) -> dict or awaitable dict; runs on the loop thread.

        positional names the arguments that a plain-text request may give as bare words,
        e.g. positional=("address",) lets "game.log 127.1.0.5:27910" name the address."""
        if name in self.ops:
            raise ValueError("request %s registered twice" % name)
        self.ops[name] = Op(handler, tuple(positional), help_text)

    def register_section(self, key, loader):
        """loader(value) -> awaitable or None: applies one top-level key of a scenario."""
        if key in self.sections:
            raise ValueError("scenario section %s registered twice" % key)
        self.sections[key] = loader

    def on_close(self, closer):
        """closer() -> awaitable or None: runs when the world stops."""
        self.closers.append(closer)

    def on_reset(self, resetter):
        """resetter() -> awaitable or None: the "reset" request removes everything."""
        self.resetters.append(resetter)

    # ---- life cycle ----

    def start(self):
        """Starts the loop thread, the parts and the control port; returns "127.0.0.1:PORT"."""
        ready = threading.Event()
        failure = []

        def run():
            self.loop = asyncio.new_event_loop()
            asyncio.set_event_loop(self.loop)
            try:
                self.loop.run_until_complete(self._start_in_loop())
            except BaseException as error:  # reported to start()'s caller
                failure.append(error)
                ready.set()
                self.loop.close()
                return
            ready.set()
            self.loop.run_forever()
            self.loop.run_until_complete(self._stop_in_loop())
            self.loop.close()
            self.stopped.set()

        self._thread = threading.Thread(target=run, name="simworld", daemon=True)
        self._thread.start()
        if not ready.wait(REQUEST_TIMEOUT):
            raise RuntimeError("simworld did not start")
        if failure:
            raise failure[0]
        return self.control_address

    def stop(self):
        if self.loop is None or self._thread is None:
            return
        if self._thread.is_alive():
            self.loop.call_soon_threadsafe(self.loop.stop)
            self._thread.join(REQUEST_TIMEOUT)

    def __enter__(self):
        self.start()
        return self

    def __exit__(self, *exc):
        self.stop()

    async def _start_in_loop(self):
        for name in self._module_names:
            if importlib.util.find_spec(name) is None:
                continue
            module = importlib.import_module(name)
            self.parts[name] = module.attach(self)
        self._server = await asyncio.start_server(self._serve_client, "127.0.0.1", 0, limit=MAX_LINE)
        port = self._server.sockets[0].getsockname()[1]
        self.control_address = "127.0.0.1:%d" % port
        if self._initial_scenario is not None:
            await self.load_scenario(self._initial_scenario)

    async def _stop_in_loop(self):
        if self._server is not None:
            self._server.close()
        for task in list(self._clients):
            task.cancel()
        if self._clients:
            await asyncio.gather(*self._clients, return_exceptions=True)
        for closer in reversed(self.closers):
            await _maybe_await(closer())

    # ---- requests ----

    def request(self, op, **args):
        """Runs one request from any thread other than the loop's; returns the response dict."""
        message = dict(args)
        message["op"] = op
        future = asyncio.run_coroutine_threadsafe(self.dispatch(message), self.loop)
        return future.result(REQUEST_TIMEOUT)

    async def dispatch(self, message):
        op = self.ops.get(message.get("op"))
        if op is None:
            return {"ok": False, "error": "unknown request %r" % message.get("op")}
        args = {key: value for key, value in message.items() if key != "op"}
        try:
            result = await _maybe_await(op.handler(args))
        except RequestError as error:
            return {"ok": False, "error": str(error)}
        except (KeyError, ValueError, TypeError, OSError) as error:
            return {"ok": False, "error": "%s: %s" % (type(error).__name__, error)}
        response = {"ok": True}
        if result:
            response.update(result)
        return response

    def parse_line(self, line):
        """A JSON object, or words: op, then key=value (value read as JSON when it parses)
        and bare words for the op's positional arguments."""
        line = line.strip()
        if line.startswith("{"):
            message = json.loads(line)
            if not isinstance(message, dict):
                raise RequestError("a request must be a JSON object")
            return message
        words = line.split()
        if not words:
            raise RequestError("empty request")
        message = {"op": words[0]}
        op = self.ops.get(words[0])
        positional = list(op.positional) if op else []
        for word in words[1:]:
            key, equals, value = word.partition("=")
            if not equals:
                if not positional:
                    raise RequestError("unexpected word %r" % word)
                key, value = positional.pop(0), word
            try:
                message[key] = json.loads(value)
            except ValueError:
                message[key] = value
        return message

    async def _serve_client(self, reader, writer):
        task = asyncio.current_task()
        self._clients.add(task)
        try:
            while True:
                try:
                    line = await reader.readline()
                except (ValueError, asyncio.LimitOverrunError):
                    break
                if not line:
                    break
                try:
                    message = self.parse_line(line.decode("utf-8"))
                    response = await self.dispatch(message)
                except (RequestError, ValueError) as error:
                    response = {"ok": False, "error": str(error)}
                writer.write((json.dumps(response) + "\n").encode("ascii"))
                await writer.drain()
        except (ConnectionError, asyncio.CancelledError):
            pass
        finally:
            self._clients.discard(task)
            writer.close()

    async def load_scenario(self, scenario):
        if isinstance(scenario, str):
            with open(scenario, encoding="utf-8") as file:
                scenario = json.load(file)
        if not isinstance(scenario, dict):
            raise RequestError("a scenario is a JSON object")
        unknown = [key for key in scenario if key not in self.sections and not key.startswith("_")]
        if unknown:
            raise RequestError("unknown scenario sections: %s" % ", ".join(sorted(unknown)))
        for key, value in scenario.items():
            if key in self.sections:
                await _maybe_await(self.sections[key](value))

    def _register_builtin_ops(self):
        async def load(args):
            if "scenario" in args:
                await self.load_scenario(args["scenario"])
            elif "file" in args:
                await self.load_scenario(str(args["file"]))
            else:
                raise RequestError("load needs scenario or file")

        async def reset(args):
            for resetter in self.resetters:
                await _maybe_await(resetter())

        def stop(args):
            self.loop.call_soon(self.loop.stop)

        def ops(args):
            return {"ops": {name: op.help for name, op in sorted(self.ops.items())}}

        self.register_op("ping", lambda args: None, help_text="answers ok")
        self.register_op("ops", ops, help_text="lists every request")
        self.register_op("load", load, positional=("file",), help_text="applies a scenario: scenario={...} or file=PATH")
        self.register_op("reset", reset, help_text="removes every simulated part")
        self.register_op("stop", stop, help_text="stops the world")


async def _maybe_await(value):
    if inspect.isawaitable(value):
        return await value
    return value


class Client:
    """A client of a running world's control port, one connection per request."""

    def __init__(self, address=None, timeout=REQUEST_TIMEOUT):
        address = address or os.environ[CONTROL_ENV]
        host, _, port = address.rpartition(":")
        self.address = (host, int(port))
        self.timeout = timeout

    def request(self, op, **args):
        message = dict(args)
        message["op"] = op
        with socket.create_connection(self.address, timeout=self.timeout) as connection:
            connection.sendall((json.dumps(message) + "\n").encode("ascii"))
            reply = b""
            while not reply.endswith(b"\n"):
                chunk = connection.recv(65536)
                if not chunk:
                    break
                reply += chunk
        return json.loads(reply.decode("ascii"))


def parse_arguments(argv):
    command = []
    if "--" in argv:
        split = argv.index("--")
        argv, command = argv[:split], argv[split + 1:]
    parser = argparse.ArgumentParser(description="Runs the simulated world on loopback.")
    parser.add_argument("--scenario", help="JSON scenario file applied at start")
    parser.add_argument("--ready-file", help="file that receives 127.0.0.1:PORT of the control port once it listens")
    options = parser.parse_args(argv)
    options.command = command
    return options


def raise_file_limit():
    """Thousands of simulated servers need as many sockets."""
    try:
        import resource
        soft, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
        if soft != hard:
            resource.setrlimit(resource.RLIMIT_NOFILE, (hard, hard))
    except (ImportError, ValueError, OSError):
        pass


def main(argv):
    options = parse_arguments(argv)
    raise_file_limit()
    world = World(scenario=options.scenario)
    address = world.start()
    if options.ready_file:
        temporary = options.ready_file + ".tmp"
        with open(temporary, "w", encoding="ascii") as file:
            file.write(address + "\n")
        os.replace(temporary, options.ready_file)

    if not options.command:
        def on_signal(number, frame):
            world.stop()
        signal.signal(signal.SIGTERM, on_signal)
        signal.signal(signal.SIGINT, on_signal)
        # Wake now and then so that signal handlers run.
        while not world.stopped.wait(0.5):
            pass
        return 0

    env = dict(os.environ)
    env[CONTROL_ENV] = address
    child = subprocess.Popen(options.command, env=env)

    def forward(number, frame):
        child.send_signal(number)
    signal.signal(signal.SIGTERM, forward)
    signal.signal(signal.SIGINT, forward)
    code = child.wait()
    world.stop()
    return code if code >= 0 else 128 - code


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
