#!/usr/bin/env python3
"""Scenarios for the demo and the benchmarks: a master list and the game servers it names.

    demo_world.py                 about 25 servers with varied names, maps, players and pings,
                                  one that never answers and one entry that cannot be resolved
    demo_world.py --scale N       N servers (thousands are fine) for benchmarks

Prints the scenario as JSON, for simworld.py --scenario FILE. From Python: demo_scenario(),
scale_scenario(n).
"""

import argparse
import json
import random
import sys

MASTER_ADDRESS = "127.0.0.1"
GAME_PORT = 27910

# (name, map, max clients, reply delay in ms, players as (score, ping, name)).
# Names are bytes as text (each character one byte); some use the high and control bytes
# that the browser's name translation turns into readable letters and brackets.
DEMO_SERVERS = [
    ("Kestrel Forge Official #1", "citadel", 16, 18,
     [(42, 35, "Rook"), (37, 41, "Vesper"), (25, 52, "\x90Viper\x91"), (11, 60, "Marlow")]),
    ("Kestrel Forge Official #2", "foundry", 16, 22, [(15, 44, "Ash"), (9, 48, "Quill")]),
    ("Harbor Lights CTF", "harbor", 24, 64,
     [(88, 70, "\xd3\xe8\xe1\xe4\xef\xf7"), (61, 66, "Juniper"), (54, 71, "Brakk"), (30, 90, "Ode"),
      (12, 80, "Tamsin"), (3, 77, "newbie")]),
    ("Canyon Run - casual", "canyon", 12, 41, [(7, 45, "Pell"), (4, 39, "Sorrel"), (1, 50, "Gus")]),
    ("glacier pit 24/7", "glacier", 8, 120, [(19, 130, "Frost"), (17, 125, "Icarus")]),
    ("The Quarry", "quarry", 16, 9, []),
    ("[EU] Night Owls", "marsh", 20, 95,
     [(33, 99, "Owl"), (28, 101, "Nightjar"), (27, 97, "\xcd\xef\xe3\xf4"), (20, 110, "Lark"),
      (14, 96, "Wren"), (9, 105, "Finch"), (2, 100, "Tit")]),
    ("Deltaworks Duel", "delta", 2, 33, [(5, 30, "Stoat"), (4, 31, "Weasel")]),
    ("Ridge Runners", "ridge", 16, 52, [(12, 55, "Hart")]),
    ("pond party", "pond", 32, 27,
     [(s, 30 + s, n) for s, n in [(9, "Newt"), (8, "Frog"), (7, "Toad"), (6, "Eft"), (5, "Carp"),
                                  (4, "Pike"), (3, "Roach"), (2, "Tench"), (1, "Dace")]]),
    ("Old Mill", "mill", 10, 140, [(0, 150, "Miller")]),
    ("Lantern Keep", "keep", 16, 73, [(21, 75, "Warden"), (13, 74, "\x84Sentry\x84")]),
    ("Ironbridge TDM", "bridge", 18, 48, [(40, 50, "Smith"), (38, 52, "Cooper"), (35, 49, "Fletcher"),
                                        (22, 51, "Mason"), (18, 47, "Thatcher")]),
    ("Saltmarsh", "marsh", 12, 88, []),
    ("Beacon Hill", "hill", 16, 36, [(6, 40, "Signal"), (5, 38, "Flare")]),
    ("Foxhole", "warren", 8, 15, [(3, 17, "Reynard")]),
    ("_test server", "pond", 4, 5, []),
    ("Copperline Racing", "track", 16, 61, [(99, 60, "Piston"), (71, 62, "Gasket"), (69, 65, "Sprocket")]),
    ("Tidewater", "harbor", 20, 104, [(14, 100, "Mariner"), (10, 110, "\xc2\xef\xe1\xf4\xf3\xf7\xe1\xe9\xee")]),
    ("Northwind Arena", "arena", 16, 57, [(25, 60, "Gale"), (24, 58, "Zephyr"), (1, 61, "Calm")]),
    ("Emberfall", "foundry", 12, 132, [(8, 130, "Cinder")]),
    ("Moss & Stone", "ruins", 16, 45, [(16, 44, "Lichen"), (15, 46, "Flint")]),
    ("Kestrel Forge Test", "citadel", 16, 12, [(0, 12, "qa-bot")]),
]

SILENT_SERVER = "127.2.0.99"
UNRESOLVABLE_ENTRY = "offline.kestrelforge.invalid"

MAPS = ["citadel", "foundry", "harbor", "canyon", "glacier", "quarry", "marsh", "delta", "ridge", "pond",
        "mill", "keep", "bridge", "hill", "warren", "track", "arena", "ruins"]
WORDS = ["Amber", "Basalt", "Cobalt", "Dusk", "Ember", "Fjord", "Granite", "Hollow", "Indigo", "Juniper",
         "Kestrel", "Lumen", "Moor", "Nimbus", "Onyx", "Pine", "Quartz", "Rowan", "Slate", "Thorn"]


# Variables every demo server reports besides its name, map and size; the larger ones also
# name an admin, which lists before the lower-case variables.
COMMON_INFO = [["version", "1.07 x86"], ["timelimit", "20"], ["fraglimit", "30"], ["needpass", "0"]]
ADMIN = ["Admin", "ops@kestrelforge.net"]


def game_server(address, name, map_name, max_clients, delay_ms, players):
    info = [["hostname", name], ["mapname", map_name], ["maxclients", str(max_clients)]] + COMMON_INFO
    if max_clients >= 20:
        info.append(ADMIN)
    return {"address": address, "info": info, "players": [list(p) for p in players], "delay_ms": delay_ms}


def scenario(servers, extra_entries=()):
    entries = [server["address"] for server in servers] + list(extra_entries)
    return {"gameservers": servers, "master": {"address": MASTER_ADDRESS, "entries": entries}}


def demo_scenario():
    """The demo world: DEMO_SERVERS on 127.2.0.x, a silent server and an unresolvable entry."""
    servers = [game_server("127.2.0.%d:%d" % (index + 1, GAME_PORT), *entry) for index, entry in enumerate(DEMO_SERVERS)]
    silent = {"address": "%s:%d" % (SILENT_SERVER, GAME_PORT), "silent": True}
    return scenario(servers + [silent], [UNRESOLVABLE_ENTRY])


def scale_scenario(count, seed=1):
    """count answering servers on 127.3.x.y with generated names, maps, players and pings."""
    rng = random.Random(seed)
    servers = []
    for index in range(count):
        address = "127.3.%d.%d:%d" % (index // 250, index % 250 + 1, GAME_PORT)
        name = "%s %s %04d" % (rng.choice(WORDS), rng.choice(WORDS), index)
        max_clients = rng.choice((8, 12, 16, 24, 32))
        players = [(rng.randint(0, 60), rng.randint(10, 200), "player%d" % p)
                   for p in range(rng.randint(0, max_clients))]
        servers.append(game_server(address, name, rng.choice(MAPS), max_clients, rng.randint(0, 60), players))
    return scenario(servers)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--scale", type=int, default=0, help="N generated servers instead of the demo world")
    args = parser.parse_args(argv)
    world = scale_scenario(args.scale) if args.scale > 0 else demo_scenario()
    json.dump(world, sys.stdout)
    sys.stdout.write("\n")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
