#include "history/usage_store.h"

#include <sqlite3.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <thread>

namespace plovex {

namespace {

// Another Plovex holds the write lock for a few milliseconds a minute; the
// window's thread must never wait long for a tool that holds it for longer.
constexpr int kBusyMilliseconds = 2000;

// A statement that is finalized however its scope is left.
class Statement {
 public:
  Statement(sqlite3* db, const char* sql) { rc_ = sqlite3_prepare_v2(db, sql, -1, &st_, nullptr); }
  ~Statement() { sqlite3_finalize(st_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  bool ok() const { return rc_ == SQLITE_OK; }
  sqlite3_stmt* get() const { return st_; }
  void Bind(int i, std::int64_t v) { sqlite3_bind_int64(st_, i, v); }
  void Bind(int i, const std::string& v) {
    sqlite3_bind_text(st_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
  }
  int Step() { return sqlite3_step(st_); }
  void Reset() {
    sqlite3_reset(st_);
    sqlite3_clear_bindings(st_);
  }
  std::int64_t Int(int col) const { return sqlite3_column_int64(st_, col); }
  std::string Text(int col) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st_, col));
    return p == nullptr ? std::string() : std::string(p);
  }

 private:
  sqlite3_stmt* st_ = nullptr;
  int rc_ = SQLITE_ERROR;
};

bool Damaged(int rc) {
  const int primary = rc & 0xFF;
  return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT;
}

const char* const kSchema =
    "CREATE TABLE IF NOT EXISTS series(id INTEGER PRIMARY KEY, host TEXT NOT NULL,"
    " interface TEXT NOT NULL, written INTEGER NOT NULL DEFAULT 0, UNIQUE(host, interface));"
    "CREATE TABLE IF NOT EXISTS usage(series INTEGER NOT NULL, tier INTEGER NOT NULL,"
    " slot INTEGER NOT NULL, in_bytes INTEGER NOT NULL, out_bytes INTEGER NOT NULL,"
    " peak_in INTEGER NOT NULL, peak_out INTEGER NOT NULL,"
    " PRIMARY KEY(series, tier, slot)) WITHOUT ROWID;"
    "CREATE TABLE IF NOT EXISTS cap_told(host TEXT NOT NULL, interface TEXT NOT NULL,"
    " period INTEGER NOT NULL, share INTEGER NOT NULL,"
    " PRIMARY KEY(host, interface, period)) WITHOUT ROWID;";

Status OpenFailure(sqlite3* db, const std::string& path, int rc) {
  // The connection's own message may already be another call's ("not an error").
  const bool own = db != nullptr && sqlite3_errcode(db) == rc;
  return Status::CannotCreate("the usage store " + path + " cannot be opened: " +
                              (own ? sqlite3_errmsg(db) : sqlite3_errstr(rc)));
}

// Opens and checks; returns the SQLite code that made it fail.
int TryOpen(const std::string& path, bool read_only, sqlite3** out) {
  sqlite3* db = nullptr;
  const int flags = read_only ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
  int rc = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
  if (rc == SQLITE_OK) {
    sqlite3_busy_timeout(db, kBusyMilliseconds);
    rc = sqlite3_exec(db, read_only ? "PRAGMA quick_check(1)" : "PRAGMA journal_mode=WAL", nullptr,
                      nullptr, nullptr);
  }
  if (rc == SQLITE_OK && !read_only) {
    Statement check(db, "PRAGMA quick_check(1)");
    rc = check.ok() ? SQLITE_OK : sqlite3_errcode(db);
    if (rc == SQLITE_OK && check.Step() == SQLITE_ROW && check.Text(0) != "ok") rc = SQLITE_CORRUPT;
    if (rc == SQLITE_OK) {
      // A commit a minute needs no flush of its own: the WAL is made durable at
      // its checkpoints, kept small (400 kB) so that the file stays small too.
      rc = sqlite3_exec(db,
                        "PRAGMA synchronous=NORMAL; PRAGMA wal_autocheckpoint=100;"
                        " PRAGMA journal_size_limit=524288;",
                        nullptr, nullptr, nullptr);
    }
    if (rc == SQLITE_OK) rc = sqlite3_exec(db, kSchema, nullptr, nullptr, nullptr);
  }
  *out = db;
  return rc;
}

// ?1 to ?5 of a query over one series' slots of a tier in [from, to).
void BindSlotRange(Statement& q, const UsageKey& key, UsageTier tier, std::int64_t from,
                   std::int64_t to) {
  q.Bind(1, key.host);
  q.Bind(2, key.interface);
  q.Bind(3, static_cast<std::int64_t>(tier));
  q.Bind(4, from);
  q.Bind(5, to);
}

}  // namespace

UsageKey MakeUsageKey(const std::string& host, const std::string& interface,
                      const std::string& oid1, const std::string& oid2) {
  return {host, interface.empty() ? oid1 + " " + oid2 : interface};
}

std::int64_t LocalDayStart(std::int64_t t) {
  const std::time_t tt = static_cast<std::time_t>(t);
  std::tm tm{};
  localtime_r(&tt, &tm);
  tm.tm_hour = 0;
  tm.tm_min = 0;
  tm.tm_sec = 0;
  tm.tm_isdst = -1;
  return static_cast<std::int64_t>(std::mktime(&tm));
}

UsageStore::~UsageStore() { sqlite3_close(db_); }

Result<std::unique_ptr<UsageStore>> UsageStore::Open(const std::string& path, bool read_only,
                                                     std::string* set_aside) {
  std::error_code ec;
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  if (!read_only && !folder.empty()) std::filesystem::create_directories(folder, ec);
  sqlite3* db = nullptr;
  int rc = TryOpen(path, read_only, &db);
  // Two Plovex making the store at once: setting it up takes locks for which
  // SQLite will not always wait (to avoid a deadlock), so the later one tries
  // again for as long as a busy write would have waited.
  for (int waited = 0; (rc & 0xFF) == SQLITE_BUSY || (rc & 0xFF) == SQLITE_LOCKED; waited += 50) {
    sqlite3_close(db);
    db = nullptr;
    if (waited >= kBusyMilliseconds) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    rc = TryOpen(path, read_only, &db);
  }
  if (rc != SQLITE_OK && Damaged(rc) && !read_only) {
    sqlite3_close(db);
    db = nullptr;
    const std::string aside = path + ".damaged-" + std::to_string(std::time(nullptr));
    if (std::rename(path.c_str(), aside.c_str()) != 0) {
      return Status::IoError("the damaged usage store " + path + " cannot be set aside", errno);
    }
    // The journal belongs to the damaged file; it must not be replayed into the new one.
    for (const char* suffix : {"-wal", "-shm"}) {
      std::rename((path + suffix).c_str(), (aside + suffix).c_str());
    }
    if (set_aside != nullptr) *set_aside = aside;
    rc = TryOpen(path, read_only, &db);
  }
  if (rc != SQLITE_OK) {
    const Status failed = OpenFailure(db, path, rc);
    sqlite3_close(db);
    return failed;
  }
  return std::unique_ptr<UsageStore>(new UsageStore(db));
}

Status UsageStore::Failure(const std::string& doing) const {
  return Status::WriteFailed("the usage store cannot " + doing + ": " + sqlite3_errmsg(db_));
}

Status UsageStore::Exec(const char* sql) {
  if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) return Failure("be written");
  return Status();
}

Status UsageStore::Add(const UsageKey& key, std::span<const UsageMinute> minutes,
                       std::int64_t now) {
  // BEGIN IMMEDIATE takes the write lock at once, so the busy timeout covers
  // the whole transaction rather than failing half-way through it.
  if (Status s = Exec("BEGIN IMMEDIATE"); !s.ok()) return s;
  const auto rollback = [&](const std::string& doing) {
    Status failed = Failure(doing);
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    return failed;
  };
  Statement series(db_,
                   "INSERT INTO series(host, interface, written) VALUES(?1, ?2, ?3)"
                   " ON CONFLICT(host, interface) DO UPDATE SET written = ?3 RETURNING id");
  if (!series.ok()) return rollback("be written");
  series.Bind(1, key.host);
  series.Bind(2, key.interface);
  series.Bind(3, now);
  if (series.Step() != SQLITE_ROW) return rollback("be written");
  const std::int64_t id = series.Int(0);
  series.Step();

  Statement upsert(db_,
                   "INSERT INTO usage VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7)"
                   " ON CONFLICT(series, tier, slot) DO UPDATE SET"
                   " in_bytes = in_bytes + excluded.in_bytes,"
                   " out_bytes = out_bytes + excluded.out_bytes,"
                   " peak_in = max(peak_in, excluded.peak_in),"
                   " peak_out = max(peak_out, excluded.peak_out)");
  if (!upsert.ok()) return rollback("be written");
  for (const UsageMinute& m : minutes) {
    const std::int64_t slots[] = {m.start - m.start % 60, m.start - m.start % 3600,
                                  LocalDayStart(m.start)};
    const UsageTier tiers[] = {UsageTier::kMinute, UsageTier::kHour, UsageTier::kDay};
    for (int i = 0; i < 3; ++i) {
      upsert.Bind(1, id);
      upsert.Bind(2, static_cast<std::int64_t>(tiers[i]));
      upsert.Bind(3, slots[i]);
      upsert.Bind(4, m.in_bytes);
      upsert.Bind(5, m.out_bytes);
      upsert.Bind(6, m.peak_in);
      upsert.Bind(7, m.peak_out);
      if (upsert.Step() != SQLITE_DONE) return rollback("be written");
      upsert.Reset();
    }
  }
  Statement prune(db_, "DELETE FROM usage WHERE tier = ?1 AND slot < ?2");
  if (!prune.ok()) return rollback("be written");
  for (const auto& [tier, keep] : {std::pair{UsageTier::kMinute, kMinuteRetention},
                                   std::pair{UsageTier::kHour, kHourRetention}}) {
    prune.Bind(1, static_cast<std::int64_t>(tier));
    prune.Bind(2, now - keep);
    if (prune.Step() != SQLITE_DONE) return rollback("be written");
    prune.Reset();
  }
  if (sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
    return rollback("be written");
  }
  return Status();
}

Result<UsageTotals> UsageStore::SumTier(const UsageKey& key, UsageTier tier, std::int64_t from,
                                        std::int64_t to) {
  Statement q(db_,
              "SELECT coalesce(sum(in_bytes), 0), coalesce(sum(out_bytes), 0),"
              " coalesce(max(peak_in), 0), coalesce(max(peak_out), 0)"
              " FROM usage JOIN series ON series.id = usage.series"
              " WHERE host = ?1 AND interface = ?2 AND tier = ?3 AND slot >= ?4 AND slot < ?5");
  if (!q.ok()) return Failure("be read");
  BindSlotRange(q, key, tier, from, to);
  if (q.Step() != SQLITE_ROW) return Failure("be read");
  return UsageTotals{q.Int(0), q.Int(1), q.Int(2), q.Int(3)};
}

Result<UsageTotals> UsageStore::Sum(const UsageKey& key, std::int64_t from, std::int64_t to,
                                    std::int64_t now) {
  UsageTier tier = UsageTier::kDay;
  if (from >= now - kMinuteRetention) {
    tier = UsageTier::kMinute;
  } else if (from >= now - kHourRetention) {
    tier = UsageTier::kHour;
  }
  return SumTier(key, tier, from, to);
}

Result<std::vector<UsageMinute>> UsageStore::Slots(const UsageKey& key, UsageTier tier,
                                                   std::int64_t from, std::int64_t to) {
  Statement q(db_,
              "SELECT slot, in_bytes, out_bytes, peak_in, peak_out"
              " FROM usage JOIN series ON series.id = usage.series"
              " WHERE host = ?1 AND interface = ?2 AND tier = ?3 AND slot >= ?4 AND slot < ?5"
              " ORDER BY slot");
  if (!q.ok()) return Failure("be read");
  BindSlotRange(q, key, tier, from, to);
  std::vector<UsageMinute> slots;
  int rc = SQLITE_ROW;
  while ((rc = q.Step()) == SQLITE_ROW) {
    slots.push_back({q.Int(0), q.Int(1), q.Int(2), q.Int(3), q.Int(4)});
  }
  if (rc != SQLITE_DONE) return Failure("be read");
  return slots;
}

Result<std::vector<UsageKey>> UsageStore::Keys() {
  Statement q(db_, "SELECT host, interface FROM series ORDER BY written DESC, id DESC");
  if (!q.ok()) return Failure("be read");
  std::vector<UsageKey> keys;
  while (q.Step() == SQLITE_ROW) keys.push_back({q.Text(0), q.Text(1)});
  return keys;
}

Result<int> UsageStore::CapTold(const UsageKey& key, std::int64_t period_start) {
  Statement q(db_, "SELECT share FROM cap_told WHERE host = ?1 AND interface = ?2 AND period = ?3");
  if (!q.ok()) return Failure("be read");
  q.Bind(1, key.host);
  q.Bind(2, key.interface);
  q.Bind(3, period_start);
  const int rc = q.Step();
  if (rc == SQLITE_DONE) return 0;
  if (rc != SQLITE_ROW) return Failure("be read");
  return static_cast<int>(q.Int(0));
}

Status UsageStore::SetCapTold(const UsageKey& key, std::int64_t period_start, int share) {
  // Earlier periods' rows are of no more use: one row per series at most.
  Statement drop(db_, "DELETE FROM cap_told WHERE host = ?1 AND interface = ?2 AND period <> ?3");
  Statement put(db_,
                "INSERT OR REPLACE INTO cap_told(host, interface, period, share)"
                " VALUES(?1, ?2, ?3, ?4)");
  if (!drop.ok() || !put.ok()) return Failure("be written");
  for (Statement* st : {&drop, &put}) {
    st->Bind(1, key.host);
    st->Bind(2, key.interface);
    st->Bind(3, period_start);
  }
  put.Bind(4, share);
  if (drop.Step() != SQLITE_DONE || put.Step() != SQLITE_DONE) return Failure("be written");
  return Status();
}

}  // namespace plovex
