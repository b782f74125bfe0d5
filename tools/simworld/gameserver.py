"""Simulated game servers: UDP sockets on 127.x.y.z:port that answer the status query.

Each server logs every datagram it receives with a monotonic time stamp in milliseconds
and answers the status query with configured reply bytes, optionally after a delay, from
another address or port, never (silent), or followed by extra unsolicited replies.

A server's configuration (a JSON object; every field but address is optional):

    address      "127.1.0.5:27910"; port 0 lets the system choose (the answer names it)
    hex | raw    the reply bytes, as hex digits or as a text whose characters are bytes 0-255
    info         reply info variables: {"hostname": "Alpha", ...} or [["key", "value"], ...]
    players      reply player lines: [[score, ping, "name"], ...] or [{"score":, "ping":, "name":}]
                 (without hex/raw, info and players compose the reply; a name's characters are bytes)
    delay_ms     wait this long before answering
    silent       true: log queries, never answer
    reply_from   "127.x.y.z:port": answer from this address instead (port 0: any free port)
    extra        further datagrams after each answer: [{"delay_ms": 50, <reply bytes as above>}, ...]
    answer       "status" (default): answer only the status query; "any": answer every datagram

Usable from Python without the control port:

    from gameserver import compose_reply, STATUS_QUERY
"""

import asyncio
import socket
import time

STATUS_QUERY = b"\xff\xff\xff\xffstatus\n"
REPLY_HEADER = b"\xff\xff\xff\xffprint\n"


def to_bytes(text):
    """Texts stand for bytes one character each (0-255), so any byte can be written in JSON."""
    if isinstance(text, bytes):
        return text
    return str(text).encode("latin-1")


def compose_reply(info=None, players=()):
    """The status reply: header, the info line "\\key\\value...", then one line per player."""
    pairs = info.items() if isinstance(info, dict) else (info or [])
    fields = []
    for key, value in pairs:
        fields += [to_bytes(key), to_bytes(value)]
    body = b"\\" + b"\\".join(fields) + b"\n"
    for player in players:
        if isinstance(player, dict):
            score, ping, name = player.get("score", 0), player.get("ping", 0), player.get("name", "")
        else:
            score, ping, name = player
        body += b'%d %d "' % (int(score), int(ping)) + to_bytes(name) + b'"\n'
    return REPLY_HEADER + body


def reply_bytes(config, default_info=None):
    if "hex" in config:
        return bytes.fromhex(config["hex"])
    if "raw" in config:
        return to_bytes(config["raw"])
    if "info" in config or "players" in config:
        return compose_reply(config.get("info"), config.get("players", ()))
    return compose_reply(default_info or {})


def parse_address(text):
    host, colon, port = str(text).rpartition(":")
    if not colon or not host:
        raise ValueError("address %r is not host:port" % text)
    return host, int(port)


def format_address(address):
    return "%s:%d" % (address[0], address[1])


def now_ms():
    return round(time.monotonic() * 1000.0, 3)


class _Endpoint(asyncio.DatagramProtocol):
    def __init__(self, on_datagram=None):
        self.on_datagram = on_datagram
        self.transport = None

    def connection_made(self, transport):
        self.transport = transport

    def datagram_received(self, data, address):
        if self.on_datagram is not None:
            self.on_datagram(data, address)

    def error_received(self, error):
        # An answer to a browser that has gone away comes back as "port unreachable".
        pass


async def _open_endpoint(loop, address, on_datagram=None):
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    try:
        sock.bind(address)
    except OSError:
        sock.close()
        raise
    sock.setblocking(False)
    transport, protocol = await loop.create_datagram_endpoint(lambda: _Endpoint(on_datagram), sock=sock)
    return transport


class GameServer:
    def __init__(self):
        self.transport = None
        self.address = None
        self.config = {}
        self.reply_transport = None
        self.log = []
        self.sent = 0
        self.pending = set()

    def close(self):
        for handle in self.pending:
            handle.cancel()
        self.pending.clear()
        if self.reply_transport is not None:
            self.reply_transport.close()
        self.transport.close()


class GameServers:
    def __init__(self, world):
        self.world = world
        self.servers = {}

    @property
    def loop(self):
        return asyncio.get_running_loop()

    async def add(self, config):
        """Adds a server, or reconfigures the one already at that address (its log stays)."""
        config = dict(config)
        host, port = parse_address(config.get("address", ""))
        key = "%s:%d" % (host, port)
        server = self.servers.get(key) if port else None
        if server is None:
            server = GameServer()
            server.transport = await _open_endpoint(self.loop, (host, port),
                                                    lambda data, sender: self._received(server, data, sender))
            server.address = format_address(server.transport.get_extra_info("sockname"))
            self.servers[server.address] = server
        old_from = server.config.get("reply_from")
        server.config = config
        if config.get("reply_from") != old_from:
            if server.reply_transport is not None:
                server.reply_transport.close()
                server.reply_transport = None
            if config.get("reply_from"):
                server.reply_transport = await _open_endpoint(self.loop, parse_address(config["reply_from"]))
        result = {"address": server.address}
        if server.reply_transport is not None:
            result["reply_from"] = format_address(server.reply_transport.get_extra_info("sockname"))
        return result

    def _received(self, server, data, sender):
        entry = {"t": now_ms(), "from": format_address(sender), "hex": data.hex(), "server": server.address}
        server.log.append(entry)
        config = server.config
        if config.get("silent"):
            return
        if config.get("answer", "status") == "status" and not data.startswith(STATUS_QUERY):
            return
        default_info = {"hostname": "Server " + server.address, "mapname": "pond", "maxclients": "16"}
        reply = reply_bytes(config, default_info)
        self._schedule(server, config.get("delay_ms", 0), reply, sender, server.reply_transport, entry)
        for extra in config.get("extra", ()):
            self._schedule(server, extra.get("delay_ms", 0), reply_bytes(extra, default_info), sender,
                           server.reply_transport)

    def _schedule(self, server, delay_ms, data, destination, transport, entry=None):
        """Sends data after delay_ms; the answer to a logged datagram notes when it went ("replied")."""
        transport = transport or server.transport

        def send(handle=None):
            server.pending.discard(handle)
            if not transport.is_closing():
                transport.sendto(data, destination)
                server.sent += 1
                if entry is not None:
                    entry["replied"] = now_ms()

        if not delay_ms or delay_ms <= 0:
            send()
            return
        handle = self.loop.call_later(delay_ms / 1000.0, lambda: send(handle))
        server.pending.add(handle)

    def find(self, address):
        server = self.servers.get(str(address))
        if server is None:
            raise KeyError("no game server at %s" % address)
        return server

    def remove(self, address):
        self.find(address).close()
        del self.servers[str(address)]

    def reset(self):
        for server in self.servers.values():
            server.close()
        self.servers.clear()

    async def send(self, args):
        """Sends one datagram from a server's address (or any address) to a destination."""
        source = str(args["from"])
        destination = parse_address(args["to"])
        data = reply_bytes(args)
        server = self.servers.get(source)
        if server is not None:
            server.transport.sendto(data, destination)
            server.sent += 1
            return
        transport = await _open_endpoint(self.loop, parse_address(source))
        transport.sendto(data, destination)
        # Let the loop hand the datagram to the system before the socket closes.
        await asyncio.sleep(0)
        transport.close()

    def entries(self, address=None):
        if address is not None:
            return list(self.find(address).log)
        merged = [entry for server in self.servers.values() for entry in server.log]
        merged.sort(key=lambda entry: entry["t"])
        return merged


def attach(world):
    servers = GameServers(world)

    async def add(args):
        if "servers" in args:
            added = [(await servers.add(config))["address"] for config in args["servers"]]
            return {"addresses": added}
        return await servers.add(args)

    def remove(args):
        servers.remove(args["address"])

    def log(args):
        return {"log": servers.entries(args.get("address"))}

    def clear(args):
        targets = [servers.find(args["address"])] if "address" in args else servers.servers.values()
        for server in targets:
            server.log.clear()

    def listing(args):
        return {"servers": [{"address": server.address, "received": len(server.log), "sent": server.sent}
                            for server in servers.servers.values()]}

    async def load(section):
        for config in section:
            await servers.add(config)

    world.register_op("game.add", add, help_text="adds or reconfigures a game server (or servers=[...])")
    world.register_op("game.remove", remove, positional=("address",), help_text="removes a game server")
    world.register_op("game.log", log, positional=("address",),
                      help_text="datagrams received by one server, or by all of them in time order")
    world.register_op("game.clear", clear, positional=("address",), help_text="empties one log or all")
    world.register_op("game.list", listing, help_text="every server with its received and sent counts")
    world.register_op("game.send", servers.send,
                      help_text="sends a datagram from=ADDR to=ADDR with hex/raw/info/players")
    world.register_section("gameservers", load)
    world.on_reset(servers.reset)
    world.on_close(servers.reset)
    return servers
