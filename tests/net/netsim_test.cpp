// netsim tests: the conditioner's settings, and what it does on the loopback to the datagrams
// of bare sockets (each one accounted for) and of two ENet hosts.
#include <enet/enet.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "net/net.h"

namespace vurkhold {
namespace {

constexpr uint32_t CAP_MS = 3000;  // no loop below waits longer

TEST(NetsimSpec, SettingsAndTheirRefusals) {
  const struct {
    const char* spec;
    const char* message;  // empty: taken
  } rows[] = {
      {"", ""},
      {"delay=50,jitter=20,loss=5,dup=1,reorder=2,seed=7", ""},
      {" delay = 2000 , jitter=1000 ", ""},
      {"loss=100,dup=0,reorder=100,seed=4294967295", ""},
      {"foo=1", "VURKHOLD_NETSIM: unknown setting 'foo'"},
      {"loss=1,a-name-that-goes-on-and-on=1", "VURKHOLD_NETSIM: unknown setting 'a-name-that-goes-on-and-'"},
      {"delay=2001", "VURKHOLD_NETSIM: 'delay' wants a whole number of ms from 0 to 2000"},
      {"delay", "VURKHOLD_NETSIM: 'delay' wants a whole number of ms from 0 to 2000"},
      {"delay=50ms", "VURKHOLD_NETSIM: 'delay' wants a whole number of ms from 0 to 2000"},
      {"jitter=1001", "VURKHOLD_NETSIM: 'jitter' wants a whole number of ms from 0 to 1000"},
      {"loss=101", "VURKHOLD_NETSIM: 'loss' wants a whole percent from 0 to 100"},
      {"dup=1.5", "VURKHOLD_NETSIM: 'dup' wants a whole percent from 0 to 100"},
      {"reorder=99999999999999999999", "VURKHOLD_NETSIM: 'reorder' wants a whole percent from 0 to 100"},
      {"seed=4294967296", "VURKHOLD_NETSIM: 'seed' wants a whole number from 0 to 4294967295"},
      {"loss=1,loss=2", "VURKHOLD_NETSIM: 'loss' is given twice"},
      {"delay=5,,loss=1", "VURKHOLD_NETSIM: an empty setting (a comma too many)"},
      {"=5", "VURKHOLD_NETSIM: a value without a setting's name"},
  };
  for (const auto& row : rows) {
    char message[NET_MESSAGE_SIZE] = "stale";
    EXPECT_EQ(netsim_configure(row.spec, message, sizeof message), row.message[0] ? 0 : 1) << row.spec;
    EXPECT_STREQ(message, row.message) << row.spec;
  }
  char small[12];
  EXPECT_EQ(netsim_configure("foo=1", small, sizeof small), 0);
  EXPECT_STREQ(small, "VURKHOLD_NE");
  EXPECT_EQ(netsim_configure(nullptr, nullptr, 0), 1);
}

// A socket receiving on the loopback and one sending to it. Each datagram carries its index.
struct NetsimLine : testing::Test {
  ENetSocket in = ENET_SOCKET_NULL, out = ENET_SOCKET_NULL;
  ENetAddress to = {};
  std::vector<uint32_t> arrivals;  // indices, as they came

  void SetUp() override {
    ASSERT_EQ(enet_initialize(), 0);
    in = enet_socket_create(ENET_SOCKET_TYPE_DATAGRAM);
    out = enet_socket_create(ENET_SOCKET_TYPE_DATAGRAM);
    enet_address_set_host_ip(&to, "127.0.0.1");
    ASSERT_EQ(enet_socket_bind(in, &to), 0);
    ASSERT_EQ(enet_socket_get_address(in, &to), 0);
    enet_socket_set_option(in, ENET_SOCKOPT_NONBLOCK, 1);
  }
  void TearDown() override {
    netsim_configure("", nullptr, 0);
    enet_socket_destroy(in);
    enet_socket_destroy(out);
  }
  void send(ENetSocket from, uint32_t index) {
    ENetBuffer buffer = {&index, sizeof index};
    ASSERT_EQ(enet_socket_send(from, &to, &buffer, 1), static_cast<int>(sizeof index));
  }
  void drain() {
    uint32_t index;
    ENetBuffer buffer = {&index, sizeof index};
    ENetAddress from;
    while (enet_socket_receive(in, &from, &buffer, 1) == sizeof index) arrivals.push_back(index);
  }
  // Sends `datagrams` through the conditioner set to `spec` and waits for all it let out.
  // How many copies of each arrived.
  std::vector<int> play(const char* spec, uint32_t datagrams) {
    arrivals.clear();
    EXPECT_EQ(netsim_configure(spec, nullptr, 0), 1) << spec;
    for (uint32_t i = 0; i < datagrams; i++) send(out, i), drain();
    const NETSIM_COUNTS c = netsim_counts();
    const size_t expected = static_cast<size_t>(c.sent - c.dropped + c.duplicated);
    for (const uint32_t start = enet_time_get(); arrivals.size() < expected && enet_time_get() - start < CAP_MS;)
      netsim_pump(), drain();
    std::vector<int> copies(datagrams);
    for (const uint32_t index : arrivals) copies.at(index)++;
    return copies;
  }
};

// Every datagram sent arrives once, twice when counted duplicated, never when counted
// dropped; only holding one back beyond the others' time puts them out of order.
TEST_F(NetsimLine, EveryDatagramIsAccountedFor) {
  const struct {
    const char* spec;
    bool shuffled;
  } rows[] = {
      {"", false},
      {"loss=20,dup=20,seed=5", false},
      {"reorder=20,seed=5", true},
      {"delay=20,jitter=15,seed=5", true},
      {"loss=20,dup=20,reorder=20,delay=5,jitter=10,seed=5", true},
  };
  for (const auto& row : rows) {
    const std::vector<int> copies = play(row.spec, 300);
    const NETSIM_COUNTS c = netsim_counts();
    EXPECT_EQ(c.sent, row.spec[0] ? 300 : 0) << row.spec;
    EXPECT_EQ(std::count(copies.begin(), copies.end(), 0), c.dropped) << row.spec;
    EXPECT_EQ(std::count(copies.begin(), copies.end(), 2), c.duplicated) << row.spec;
    EXPECT_EQ(std::count(copies.begin(), copies.end(), 1), 300 - c.dropped - c.duplicated) << row.spec;
    EXPECT_EQ(!std::is_sorted(arrivals.begin(), arrivals.end()), row.shuffled) << row.spec;
    const auto has = [&](const char* key) { return strstr(row.spec, key) != nullptr; };
    EXPECT_EQ(c.dropped > 0, has("loss")) << row.spec;
    EXPECT_EQ(c.duplicated > 0, has("dup")) << row.spec;
    EXPECT_EQ(c.reordered > 0, has("reorder")) << row.spec;
  }
}

TEST_F(NetsimLine, ASeedLosesTheSameDatagramsAgain) {
  const std::vector<int> first = play("loss=30,seed=9", 200);
  EXPECT_EQ(play("loss=30,seed=9", 200), first);
  EXPECT_NE(play("loss=30,seed=10", 200), first);
}

TEST_F(NetsimLine, AFullHoldSendsAtOnce) {
  constexpr uint32_t datagrams = 5000;
  ASSERT_EQ(netsim_configure("delay=2000", nullptr, 0), 1);
  for (uint32_t i = 0; i < datagrams; i++) send(out, i), drain();
  drain();
  const NETSIM_COUNTS c = netsim_counts();
  EXPECT_GT(c.delayed, 0);
  EXPECT_LT(c.delayed, datagrams);
  ASSERT_EQ(arrivals.size(), datagrams - static_cast<size_t>(c.delayed));
  EXPECT_EQ(arrivals[0], static_cast<uint32_t>(c.delayed));
}

// The others' datagrams stay held, and go out when due.
TEST_F(NetsimLine, DestroyingASocketSendsWhatItHeld) {
  const ENetSocket other = enet_socket_create(ENET_SOCKET_TYPE_DATAGRAM);
  ASSERT_EQ(netsim_configure("delay=500", nullptr, 0), 1);
  send(out, 1);
  send(other, 2);
  send(out, 3);
  enet_socket_destroy(other);
  drain();
  EXPECT_EQ(arrivals, std::vector<uint32_t>{2});
  for (const uint32_t start = enet_time_get(); arrivals.size() < 3 && enet_time_get() - start < CAP_MS;)
    netsim_pump(), drain();
  EXPECT_EQ(arrivals, (std::vector<uint32_t>{2, 1, 3}));
}

// Two ENet hosts on the loopback, connected with the conditioner off; the client sends the
// server unsequenced packets, each stamped with its enet_time.
struct NetsimHosts : testing::Test {
  ENetHost *server = nullptr, *client = nullptr;
  ENetPeer* peer = nullptr;
  std::vector<uint32_t> waits;  // ms from each packet's send to its arrival

  void SetUp() override {
    ASSERT_EQ(enet_initialize(), 0);
    ASSERT_EQ(netsim_configure("", nullptr, 0), 1);
    ENetAddress address = {};
    enet_address_set_host_ip(&address, "127.0.0.1");
    server = enet_host_create(&address, 1, 1, 0, 0);  // port 0: the system picks
    client = enet_host_create(nullptr, 1, 1, 0, 0);
    ASSERT_TRUE(server && client);
    ASSERT_NE(server->address.port, 0);
    peer = enet_host_connect(client, &server->address, 1, 0);
    bool connected = false;
    ENetEvent e;
    for (const uint32_t start = enet_time_get(); !connected && enet_time_get() - start < CAP_MS;) {
      enet_host_service(server, &e, 1);
      connected = enet_host_service(client, &e, 1) > 0 && e.type == ENET_EVENT_TYPE_CONNECT;
    }
    ASSERT_TRUE(connected);
  }
  void TearDown() override {
    netsim_configure("", nullptr, 0);
    if (client) enet_host_destroy(client);
    if (server) enet_host_destroy(server);
  }
  // Sends `packets` and serves both hosts until they all came or `cap` ms passed.
  void exchange(uint32_t packets, uint32_t cap) {
    for (uint32_t i = 0; i < packets; i++) {
      const uint32_t stamp = enet_time_get();
      enet_peer_send(peer, 0, enet_packet_create(&stamp, sizeof stamp, ENET_PACKET_FLAG_UNSEQUENCED));
      enet_host_flush(client);
    }
    ENetEvent e;
    for (const uint32_t start = enet_time_get(); waits.size() < packets && enet_time_get() - start < cap;) {
      netsim_pump();  // as net_service does each frame
      while (enet_host_service(client, &e, 0) > 0) {}
      while (enet_host_service(server, &e, 1) > 0) {
        if (e.type != ENET_EVENT_TYPE_RECEIVE) continue;
        uint32_t stamp;
        memcpy(&stamp, e.packet->data, sizeof stamp);
        waits.push_back(enet_time_get() - stamp);
        enet_packet_destroy(e.packet);
      }
    }
  }
};

TEST_F(NetsimHosts, LossLosesPackets) {
  ASSERT_EQ(netsim_configure("loss=40,seed=3", nullptr, 0), 1);
  exchange(100, 500);
  EXPECT_GT(netsim_counts().dropped, 0);
  EXPECT_GT(waits.size(), 0u);
  EXPECT_LT(waits.size(), 100u);
}

TEST_F(NetsimHosts, DelayHoldsEveryPacketAtLeastThatLong) {
  ASSERT_EQ(netsim_configure("delay=60", nullptr, 0), 1);
  exchange(20, CAP_MS);
  ASSERT_EQ(waits.size(), 20u);
  EXPECT_GE(*std::min_element(waits.begin(), waits.end()), 60u);
  EXPECT_GE(netsim_counts().delayed, 20);
}

}  // namespace
}  // namespace vurkhold
