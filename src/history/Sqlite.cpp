// SPDX-License-Identifier: GPL-3.0-or-later
#include "Sqlite.h"

#include <sqlite3.h>
#include <utility>

namespace sarvendo::sqlite {
namespace {

Error ErrorOf(sqlite3* db, int code)
{
    return Error{code & 0xFF, db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(code)};
}

} // namespace

bool Error::Busy() const
{
    return code == SQLITE_BUSY || code == SQLITE_LOCKED;
}

bool Error::Corrupt() const
{
    return code == SQLITE_CORRUPT || code == SQLITE_NOTADB;
}

bool Error::NoRoom() const
{
    return code == SQLITE_FULL || code == SQLITE_READONLY || code == SQLITE_IOERR || code == SQLITE_CANTOPEN ||
           code == SQLITE_PERM;
}

Statement::Statement(Statement&& other) noexcept
    : m_db(std::exchange(other.m_db, nullptr)), m_statement(std::exchange(other.m_statement, nullptr)),
      m_failure(std::move(other.m_failure))
{
}

Statement& Statement::operator=(Statement&& other) noexcept
{
    if (this != &other) {
        sqlite3_finalize(m_statement);
        m_db = std::exchange(other.m_db, nullptr);
        m_statement = std::exchange(other.m_statement, nullptr);
        m_failure = std::move(other.m_failure);
    }
    return *this;
}

Statement::~Statement()
{
    sqlite3_finalize(m_statement);
}

Statement& Statement::Bind(int index, std::int64_t value)
{
    sqlite3_bind_int64(m_statement, index, value);
    return *this;
}

Statement& Statement::Bind(int index, std::string_view value)
{
    sqlite3_bind_text64(m_statement, index, value.data(), value.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    return *this;
}

Statement& Statement::BindNull(int index)
{
    sqlite3_bind_null(m_statement, index);
    return *this;
}

bool Statement::Step()
{
    if (m_statement == nullptr) {
        if (!m_failure) {
            m_failure = ErrorOf(m_db, m_db != nullptr ? sqlite3_errcode(m_db) : SQLITE_MISUSE);
        }
        return false;
    }
    const int result = sqlite3_step(m_statement);
    if (result == SQLITE_ROW) {
        return true;
    }
    if (result != SQLITE_DONE) {
        m_failure = ErrorOf(m_db, result);
    }
    return false;
}

bool Statement::Run()
{
    while (Step()) {
    }
    return !m_failure;
}

void Statement::Reset()
{
    if (m_statement != nullptr) {
        sqlite3_reset(m_statement);
        sqlite3_clear_bindings(m_statement);
        m_failure.reset();
    }
}

std::int64_t Statement::Int(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

std::string Statement::Text(int column) const
{
    const auto* text = sqlite3_column_text(m_statement, column);
    return text == nullptr ? std::string()
                           : std::string(reinterpret_cast<const char*>(text),
                                         static_cast<std::size_t>(sqlite3_column_bytes(m_statement, column)));
}

bool Statement::IsNull(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

std::optional<Database> Database::Open(const std::string& path, Mode mode, Error& error)
{
    sqlite3* db = nullptr;
    const int flags = (mode == Mode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE) |
                      SQLITE_OPEN_NOMUTEX;
    const int result = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
    if (result != SQLITE_OK) {
        error = ErrorOf(db, result);
        sqlite3_close(db);
        return std::nullopt;
    }
    sqlite3_extended_result_codes(db, 0);
    return Database(db);
}

Database::Database(Database&& other) noexcept : m_db(std::exchange(other.m_db, nullptr)) {}

Database& Database::operator=(Database&& other) noexcept
{
    if (this != &other) {
        sqlite3_close(m_db);
        m_db = std::exchange(other.m_db, nullptr);
    }
    return *this;
}

Database::~Database()
{
    sqlite3_close(m_db);
}

std::optional<Error> Database::Execute(std::string_view sql)
{
    const std::string text(sql);
    char* message = nullptr;
    const int result = sqlite3_exec(m_db, text.c_str(), nullptr, nullptr, &message);
    if (result == SQLITE_OK) {
        return std::nullopt;
    }
    Error error{result & 0xFF, message != nullptr ? message : sqlite3_errstr(result)};
    sqlite3_free(message);
    return error;
}

Statement Database::Prepare(std::string_view sql)
{
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v3(m_db, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &statement,
                           nullptr) != SQLITE_OK) {
        sqlite3_finalize(statement);
        statement = nullptr;
    }
    return Statement(m_db, statement);
}

std::optional<std::int64_t> Database::QueryInt(std::string_view sql)
{
    Statement statement = Prepare(sql);
    if (!statement.Step()) {
        return std::nullopt;
    }
    return statement.Int(0);
}

void Database::SetBusyTimeout(int milliseconds)
{
    sqlite3_busy_timeout(m_db, milliseconds);
}

std::int64_t Database::LastInsertId() const
{
    return sqlite3_last_insert_rowid(m_db);
}

Error Database::LastError() const
{
    return ErrorOf(m_db, sqlite3_errcode(m_db));
}

Transaction::Transaction(Database& db) : m_db(db)
{
    m_failure = m_db.Execute("BEGIN IMMEDIATE");
    m_open = !m_failure;
}

Transaction::~Transaction()
{
    if (m_open) {
        m_db.Execute("ROLLBACK");
    }
}

std::optional<Error> Transaction::Commit()
{
    if (!m_open) {
        return m_failure;
    }
    std::optional<Error> failure = m_db.Execute("COMMIT");
    if (!failure) {
        m_open = false;
    }
    return failure;
}

} // namespace sarvendo::sqlite
