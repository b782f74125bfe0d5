"""The simulated master list server: TCP port 80 on a loopback address.

Every connection is accepted, its request read (up to the empty line that ends it, the
peer's end of sending, or a limit of time and size) and logged raw, and then answered the
way the master's configuration says:

    address      "127.0.0.1" (the default) or "127.0.0.1:80"; the port is 80 unless given
    hex | raw    the response bytes, as hex digits or as a text whose characters are bytes 0-255
    entries      without hex/raw: the response is an HTTP/1.0 200 text/plain header and one
                 line per entry (each ended by LF)
    mode         "whole" (default): send the response, then close
                 "slow": send it chunk_size bytes (default 16) every interval_ms (default 50)
                 "close": send nothing and close
                 "hang": send nothing and keep the connection open until the master goes
                 "reset": send the first cut_after bytes (default half), then reset (RST)
                 "no_accept": never accept; the queue of the listening socket is kept full,
                 so a new connection is never made (the client's SYNs go unanswered)

A second kind of master serves a static list file with the system's real nginx instead
("master.nginx"); it takes the address's port 80 from the simulated master there.
"""

import asyncio
import os
import shutil
import signal
import socket
import struct
import subprocess
import tempfile
import time

from gameserver import now_ms, parse_address, to_bytes

MASTER_PORT = 80
# A request is read until its empty line, but never longer or larger than this.
REQUEST_READ_SECONDS = 5.0
REQUEST_LIMIT = 64 * 1024
# Let the part sent before a reset leave the socket before the reset discards the rest.
RESET_PAUSE_SECONDS = 0.2
NGINX_START_SECONDS = 10.0
NGINX_STOP_SECONDS = 10.0
LIST_HEADER = b"HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n"
MODES = ("whole", "slow", "close", "hang", "reset", "no_accept")


def master_address(text=None):
    text = str(text or "127.0.0.1")
    if ":" not in text:
        return text, MASTER_PORT
    return parse_address(text)


def response_bytes(config):
    if "hex" in config:
        return bytes.fromhex(config["hex"])
    if "raw" in config:
        return to_bytes(config["raw"])
    return LIST_HEADER + b"".join(to_bytes(entry) + b"\n" for entry in config.get("entries", ()))


class Master:
    """One listening address with its configuration, its log and its open connections."""

    def __init__(self, address):
        self.address = address
        self.config = {}
        self.log = []
        self.server = None
        self.listener = None
        self.fillers = []
        self.tasks = set()
        self.writers = set()

    @property
    def key(self):
        return "%s:%d" % self.address

    async def configure(self, config):
        mode = config.get("mode", "whole")
        if mode not in MODES:
            raise ValueError("mode %r is not one of %s" % (mode, ", ".join(MODES)))
        response_bytes(config)  # refuse bad bytes before anything changes
        listening_mode = "no_accept" if mode == "no_accept" else "accept"
        old_mode = "no_accept" if self.config.get("mode") == "no_accept" else "accept"
        self.config = dict(config)
        if self.server is None and self.listener is None:
            await self._listen(listening_mode)
        elif listening_mode != old_mode:
            self._stop_listening()
            await self._listen(listening_mode)

    async def _listen(self, listening_mode):
        if listening_mode == "accept":
            self.server = await asyncio.start_server(self._serve, self.address[0], self.address[1],
                                                     reuse_address=True, backlog=64)
            return
        # A backlog of 0 queues one connection; with one of our own in the queue, the
        # system drops every further SYN, so a client's connect neither succeeds nor fails.
        listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        try:
            listener.bind(self.address)
            listener.listen(0)
            filler = socket.create_connection(self.address, timeout=5)
        except OSError:
            listener.close()
            raise
        self.listener = listener
        self.fillers.append(filler)

    def _stop_listening(self):
        if self.server is not None:
            self.server.close()
            self.server = None
        if self.listener is not None:
            self.listener.close()
            self.listener = None
        for filler in self.fillers:
            filler.close()
        self.fillers.clear()

    def close(self):
        self._stop_listening()
        for task in self.tasks:
            task.cancel()
        for writer in self.writers:
            writer.transport.abort()
        self.writers.clear()

    async def _serve(self, reader, writer):
        task = asyncio.current_task()
        self.tasks.add(task)
        self.writers.add(writer)
        try:
            await self._answer(reader, writer)
        except (ConnectionError, asyncio.CancelledError):
            pass
        finally:
            self.tasks.discard(task)
            self.writers.discard(writer)
            if not writer.transport.is_closing():
                writer.transport.close()

    async def _answer(self, reader, writer):
        config = self.config
        request = await read_request(reader)
        peer = writer.get_extra_info("peername")
        self.log.append({"t": now_ms(), "from": "%s:%d" % peer[:2], "hex": request.hex(),
                         "raw": request.decode("latin-1")})
        mode = config.get("mode", "whole")
        response = response_bytes(config)
        if mode == "whole":
            writer.write(response)
            await writer.drain()
        elif mode == "slow":
            size = max(1, int(config.get("chunk_size", 16)))
            interval = max(0, int(config.get("interval_ms", 50))) / 1000.0
            for start in range(0, len(response), size):
                if start:
                    await asyncio.sleep(interval)
                writer.write(response[start:start + size])
                await writer.drain()
        elif mode == "hang":
            # Keep the connection open until the master is closed (which cancels this task).
            await asyncio.Event().wait()
        elif mode == "reset":
            cut = int(config.get("cut_after", len(response) // 2))
            writer.write(response[:cut])
            await writer.drain()
            await asyncio.sleep(RESET_PAUSE_SECONDS)
            sock = writer.get_extra_info("socket")
            sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            writer.transport.abort()
            return
        # "close" sends nothing. A close after the request has been read is an orderly one.
        writer.close()


async def read_request(reader):
    """The request's bytes up to its empty line, the end of the peer's sending, or the limits."""
    data = b""
    deadline = time.monotonic() + REQUEST_READ_SECONDS
    while len(data) < REQUEST_LIMIT and b"\n\n" not in data and b"\r\n\r\n" not in data:
        left = deadline - time.monotonic()
        if left <= 0:
            break
        try:
            chunk = await asyncio.wait_for(reader.read(REQUEST_LIMIT - len(data)), left)
        except asyncio.TimeoutError:
            break
        if not chunk:
            break
        data += chunk
    return data


class Nginx:
    """The system's nginx serving one static file as /serverlist.php on port 80."""

    def __init__(self):
        self.process = None
        self.directory = None
        self.address = None

    async def start(self, address, content, content_type):
        self.stop()
        executable = shutil.which("nginx") or "/usr/sbin/nginx"
        self.directory = tempfile.mkdtemp(prefix="simworld-nginx-")
        os.chmod(self.directory, 0o755)
        os.mkdir(os.path.join(self.directory, "temp"))
        list_file = os.path.join(self.directory, "serverlist.txt")
        with open(list_file, "wb") as file:
            file.write(content)
        os.chmod(list_file, 0o644)
        config = os.path.join(self.directory, "nginx.conf")
        with open(config, "w", encoding="ascii") as file:
            file.write(nginx_config(self.directory, address, list_file, content_type))
        self.address = address
        self.process = subprocess.Popen(
            [executable, "-p", self.directory, "-c", config, "-e", os.path.join(self.directory, "error.log")],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        deadline = time.monotonic() + NGINX_START_SECONDS
        while time.monotonic() < deadline:
            if self.process.poll() is not None:
                error = self.process.stderr.read().decode("utf-8", "replace").strip()
                self.stop()
                raise OSError("nginx did not start: %s" % error)
            if await can_connect(address):
                return
            await asyncio.sleep(0.05)
        self.stop()
        raise OSError("nginx did not listen on %s:%d in time" % address)

    def stop(self):
        if self.process is not None:
            if self.process.poll() is None:
                self.process.send_signal(signal.SIGTERM)
                try:
                    self.process.wait(NGINX_STOP_SECONDS)
                except subprocess.TimeoutExpired:
                    self.process.kill()
                    self.process.wait(NGINX_STOP_SECONDS)
            self.process.stderr.close()
            self.process = None
        if self.directory is not None:
            shutil.rmtree(self.directory, ignore_errors=True)
            self.directory = None
        self.address = None


def nginx_config(directory, address, list_file, content_type):
    temp = os.path.join(directory, "temp")
    return """daemon off;
worker_processes 1;
pid {dir}/nginx.pid;
error_log {dir}/error.log;
events {{ worker_connections 64; }}
http {{
    access_log {dir}/access.log;
    client_body_temp_path {temp}/body;
    proxy_temp_path {temp}/proxy;
    fastcgi_temp_path {temp}/fastcgi;
    uwsgi_temp_path {temp}/uwsgi;
    scgi_temp_path {temp}/scgi;
    server {{
        listen {host}:{port};
        location = /serverlist.php {{
            types {{ }}
            default_type "{content_type}";
            alias {list_file};
        }}
    }}
}}
""".format(dir=directory, temp=temp, host=address[0], port=address[1], list_file=list_file,
           content_type=content_type)


async def can_connect(address):
    try:
        _, writer = await asyncio.wait_for(asyncio.open_connection(*address), 1.0)
    except (OSError, asyncio.TimeoutError):
        return False
    writer.close()
    return True


async def fetch(address, request):
    """Sends request bytes to address and returns everything that comes back."""
    reader, writer = await asyncio.wait_for(asyncio.open_connection(*address), 5.0)
    try:
        writer.write(request)
        await writer.drain()
        return await asyncio.wait_for(reader.read(), 10.0)
    finally:
        writer.close()


class Masters:
    def __init__(self):
        self.masters = {}
        self.nginx = Nginx()

    def find(self, address=None):
        key = "%s:%d" % master_address(address)
        master = self.masters.get(key)
        if master is None:
            raise KeyError("no master list server at %s" % key)
        return master

    async def set(self, config):
        address = master_address(config.get("address"))
        if self.nginx.address == address:
            self.nginx.stop()
        master = self.masters.get("%s:%d" % address)
        if master is None:
            master = Master(address)
            try:
                await master.configure(config)
            except BaseException:
                master.close()
                raise
            self.masters[master.key] = master
        else:
            await master.configure(config)
        return {"address": master.key}

    def remove(self, address=None):
        master = self.find(address)
        master.close()
        del self.masters[master.key]

    async def serve_nginx(self, args):
        address = master_address(args.get("address"))
        key = "%s:%d" % address
        if key in self.masters:
            self.remove(key)
        if "file" in args:
            with open(str(args["file"]), "rb") as file:
                content = file.read()
        elif "hex" in args or "raw" in args:
            content = response_bytes(args)
        else:
            content = b"".join(to_bytes(entry) + b"\n" for entry in args.get("entries", ()))
        await self.nginx.start(address, content, str(args.get("content_type", "text/plain")))
        return {"address": key}

    def reset(self):
        for master in self.masters.values():
            master.close()
        self.masters.clear()
        self.nginx.stop()


def attach(world):
    masters = Masters()

    def log(args):
        return {"log": list(masters.find(args.get("address")).log)}

    def clear(args):
        masters.find(args.get("address")).log.clear()

    def remove(args):
        masters.remove(args.get("address"))

    def stop_nginx(args):
        masters.nginx.stop()

    async def fetch_op(args):
        request = bytes.fromhex(args["hex"]) if "hex" in args else to_bytes(args.get("raw", ""))
        response = await fetch(master_address(args.get("address")), request)
        return {"hex": response.hex()}

    async def load(section):
        for config in section if isinstance(section, list) else [section]:
            await masters.set(config)

    world.register_op("master.set", masters.set,
                      help_text="starts or reconfigures a master list server (address, mode, hex/raw/entries, ...)")
    world.register_op("master.log", log, positional=("address",), help_text="the requests a master received")
    world.register_op("master.clear", clear, positional=("address",), help_text="empties a master's log")
    world.register_op("master.remove", remove, positional=("address",), help_text="closes a master")
    world.register_op("master.nginx", masters.serve_nginx,
                      help_text="serves a list (file=PATH, hex/raw or entries) with the real nginx on port 80")
    world.register_op("master.nginx_stop", stop_nginx, help_text="stops nginx")
    world.register_op("master.fetch", fetch_op,
                      help_text="sends hex/raw request bytes to a port-80 address and returns the response hex")
    world.register_section("master", load)
    world.on_reset(masters.reset)
    world.on_close(masters.reset)
    return masters
