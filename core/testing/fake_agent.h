#pragma once
// FakeAgent: an SNMP agent in memory, over a MemoryUdpTransport, that answers
// as net-snmp does. Version 1: a GetRequest naming any unknown identifier gets
// noSuchName with every binding echoed as NULL; a GetNextRequest gets the next
// object in identifier order, or noSuchName with the echo at the end of its
// view. Version 2c: an exception in the binding instead, and GetBulkRequest.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "snmp/testing/memory_udp_transport.h"
#include "snmp/tsnmp_rec.h"

namespace plovex::testing {

inline std::vector<std::uint64_t> Arcs(const std::string& oid) {
  std::vector<std::uint64_t> arcs;
  std::size_t pos = 0;
  while (pos <= oid.size()) {
    const std::size_t dot = std::min(oid.find('.', pos), oid.size());
    arcs.push_back(std::stoull(oid.substr(pos, dot - pos)));
    pos = dot + 1;
  }
  return arcs;
}

struct ByArcs {
  bool operator()(const std::string& a, const std::string& b) const { return Arcs(a) < Arcs(b); }
};

class FakeAgent {
 public:
  struct Object {
    std::int32_t tag;
    std::string value;
  };
  std::map<std::string, Object, ByArcs> objects;
  std::vector<TSNMPRec> requests;
  bool silent = false;
  std::int64_t delay_ms = 2;  // how long each answer takes
  // Overrides the answer to GetRequests when set.
  std::function<void(const TSNMPRec& request, TSNMPRec& reply)> get_override;
  // Overrides the answer to GetNextRequests when set.
  std::function<void(const TSNMPRec& request, TSNMPRec& reply)> next_override;

  void Attach(MemoryUdpTransport& net) {
    net.responder = [this](const MemoryUdpTransport::Datagram& d, MemoryUdpTransport& n) {
      TSNMPRec request;
      ASSERT_TRUE(request.Decode(d.bytes).ok());
      requests.push_back(request);
      if (silent) return;
      n.Deliver(d.peer, Answer(request), delay_ms);  // from where it was sent
    };
  }

  std::vector<std::string> RequestedOids(std::size_t k) const {
    std::vector<std::string> oids;
    for (const TSNMPMib& b : requests.at(k).VarBinds()) oids.push_back(b.Oid);
    return oids;
  }

 private:
  std::string Answer(const TSNMPRec& request) {
    TSNMPRec reply;
    reply.Community = request.Community;
    reply.PduType = 0xA2;
    if (request.Version == 1) return AnswerV2c(request, reply);
    if (request.PduType == 0xA1 && next_override) {
      next_override(request, reply);
      return reply.Encode();
    }
    if (request.PduType == 0xA0 && get_override) {
      get_override(request, reply);
      return reply.Encode();
    }
    for (std::size_t i = 0; i < request.VarBinds().size(); ++i) {
      const std::string& oid = request.VarBinds()[i].Oid;
      auto it = request.PduType == 0xA1 ? objects.upper_bound(oid) : objects.find(oid);
      if (it == objects.end()) return Error(request, static_cast<std::int32_t>(i + 1));
      reply.AddVarBind(it->first, it->second.value, it->second.tag);
    }
    return reply.Encode();
  }

  // Version 2c: an exception in the binding instead of an error for the
  // whole request, and GetBulkRequest (max-repetitions in the error-index).
  std::string AnswerV2c(const TSNMPRec& request, TSNMPRec& reply) {
    reply.Version = 1;
    if (request.PduType == 0xA5) {
      // Row by row: each repetition names the next object of every binding.
      std::vector<std::string> at;
      for (const TSNMPMib& b : request.VarBinds()) at.push_back(b.Oid);
      for (std::int32_t k = 0; k < request.ErrorIndex; ++k) {
        bool all_ended = true;
        for (std::string& oid : at) {
          const auto it = objects.upper_bound(oid);
          if (it == objects.end()) {
            reply.AddVarBind(oid, "", 0x82);  // endOfMibView
            continue;
          }
          all_ended = false;
          reply.AddVarBind(it->first, it->second.value, it->second.tag);
          oid = it->first;
        }
        if (all_ended) break;
      }
      return reply.Encode();
    }
    for (const TSNMPMib& b : request.VarBinds()) {
      const auto it = objects.find(b.Oid);
      if (it == objects.end()) {
        reply.AddVarBind(b.Oid, "", 0x81);  // noSuchInstance
      } else {
        reply.AddVarBind(it->first, it->second.value, it->second.tag);
      }
    }
    return reply.Encode();
  }

  static std::string Error(const TSNMPRec& request, std::int32_t index) {
    TSNMPRec reply;
    reply.Community = request.Community;
    reply.PduType = 0xA2;
    reply.ErrorStatus = 2;
    reply.ErrorIndex = index;
    for (const TSNMPMib& b : request.VarBinds()) reply.AddVarBind(b.Oid, "", 5);
    return reply.Encode();
  }
};

}  // namespace plovex::testing
