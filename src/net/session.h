// session: what the session and the online match share inside the net folder: the
// machines' links, sending, and the match's side of the messages.
#pragma once

#include "net/protocol.h"

namespace vurkhold {

extern LOBBY lobby;
// The set-up sent with START: every machine begins its match from it.
extern START match_start;
// The level's bytes of the match, the same on every machine.
extern uint8_t net_level[];
extern uint32_t net_level_size;

// To one machine (the host is 0; a client sends only to it), or from the host to every
// client but `except` (-1: none).
void send_control(int machine, const uint8_t* bytes, int n);
void broadcast_control(const uint8_t* bytes, int n, int except);
void send_commands(int machine, const uint8_t* bytes, int n);
// ms since anything was heard from the machine.
uint32_t silence_ms(int machine);
uint32_t net_now();
// The bytes ENet has sent and received since the session began.
void wire_totals(long* sent, long* received);
// The host: the machine leaves with `reason`, logged; in a match its vurks go to the
// computer from the tick announced to everyone.
void drop_machine(int machine, const char* reason);

// The seed a host's matches print in their outcome.
extern unsigned net_seed;
// The host's level from bytes in hand (a replay's) instead of its file.
void use_host_level(const char* name, const uint8_t* bytes, size_t size);
// The host's START made as --play-input's replay set its match up, when one is in use.
void prepare_start(START* s);
// The match is set up as --play-input's replay was: the clients' set-ups don't change it.
bool start_is_fixed();
// The host is free to start: every client has been in the lobby long enough for its
// round trip to be measured.
bool net_settled();
// The match is over on this machine: back to the lobby, nobody ready.
void net_match_over();

// The online match's side.
void begin_online_match();
void end_online_match();
bool online_match_running();
void match_commands(int from, const COMMANDS& m);
void match_hash(int from, const HASH_MSG& m);
// A machine's vurks are the computer's from `from_tick`; the tick the host announces.
uint32_t match_drop_tick(int machine);
void match_drop(const DROP& m);
void match_desync(const DESYNC& m);

// Headless peers: this machine's players' commands from a script instead of the devices
// (null: the devices), the tick to end at and the hashes to print, and the end.
void use_scripted_commands(const VURK_COMMAND* (*commands)(int player, long tick));
bool online_match_done();
int online_match_status();
bool peers_have_everything();
void send_online_commands();
void print_online_outcome();

}  // namespace vurkhold
