// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace sarvendo::sqlite {

// What a failed call reported: SQLite's primary result code and its message.
struct Error
{
    int code = 0;
    std::string message;

    bool Busy() const;    // another connection holds the lock; try again later
    bool Corrupt() const; // the file is damaged or no database at all
    bool NoRoom() const;  // the disk is full or the folder or file is read-only
};

// One prepared statement, finalized when it goes. Parameters are numbered from 1 and
// columns from 0, as SQLite counts them.
class Statement
{
public:
    Statement() = default;
    Statement(sqlite3* db, sqlite3_stmt* statement) : m_db(db), m_statement(statement) {}
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement();

    Statement& Bind(int index, std::int64_t value);
    Statement& Bind(int index, std::string_view value);
    Statement& BindNull(int index);

    // True while a row is there to read; false at the end. A failure ends the rows and
    // is kept for Failure().
    bool Step();
    // Steps to the end and says whether that went without a failure.
    bool Run();
    // Makes the statement ready to run again with new parameters.
    void Reset();

    std::int64_t Int(int column) const;
    std::string Text(int column) const;
    bool IsNull(int column) const;

    const std::optional<Error>& Failure() const { return m_failure; }

private:
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_statement = nullptr;
    std::optional<Error> m_failure;
};

// An open database connection, closed when it goes.
class Database
{
public:
    enum class Mode
    {
        ReadWrite, // creates the file when missing
        ReadOnly,
    };

    static std::optional<Database> Open(const std::string& path, Mode mode, Error& error);

    Database(Database&& other) noexcept;
    Database& operator=(Database&& other) noexcept;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    ~Database();

    // Runs one or more statements without results; empty when they all ran.
    std::optional<Error> Execute(std::string_view sql);
    // Prepares one statement; a statement that does not prepare fails at its first step.
    Statement Prepare(std::string_view sql);
    // The single integer a query gives, if it gives one.
    std::optional<std::int64_t> QueryInt(std::string_view sql);

    // How long a statement waits for another connection's lock before it gives up.
    void SetBusyTimeout(int milliseconds);
    std::int64_t LastInsertId() const;
    Error LastError() const;

private:
    explicit Database(sqlite3* db) : m_db(db) {}
    sqlite3* m_db = nullptr;
};

// Runs the statements of one transaction: BEGIN IMMEDIATE at construction, ROLLBACK at
// destruction unless Commit() succeeded.
class Transaction
{
public:
    explicit Transaction(Database& db);
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    ~Transaction();

    const std::optional<Error>& BeginFailure() const { return m_failure; }
    std::optional<Error> Commit();

private:
    Database& m_db;
    std::optional<Error> m_failure;
    bool m_open = false;
};

} // namespace sarvendo::sqlite
