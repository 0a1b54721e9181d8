// A database transaction held for the lifetime of an object.
//
// Statements normally commit one by one. Where a request makes several
// statements that must take effect together (rewriting a whole list, checking
// and then taking a console), or must read files that no writer may change
// meanwhile (the database download), it holds a Transaction. A transaction
// that is not committed is rolled back when the object goes away, so a
// failing step leaves the database as it was.
#pragma once

namespace korvan {

class Transaction {
 public:
  enum Mode {
    // Takes the write lock at once ("BEGIN IMMEDIATE"), so the statements
    // that follow cannot fail half way because another request writes.
    kWrite,
    // Takes a shared lock ("BEGIN" and a read of the schema) that keeps every
    // writer from committing until the transaction ends.
    kRead,
    // "BEGIN" alone: the shared lock comes with the first statement, which
    // fails with lockErr when it cannot be had. For readers whose first
    // statement is a query anyway.
    kDeferred,
  };

  // Begins the transaction; throws the CMyErr of the failing statement
  // (lockErr when another request holds the database) with nothing begun.
  explicit Transaction(Mode mode);
  // Rolls back unless commit() succeeded. Never throws.
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  // Commits; throws the CMyErr of a failing COMMIT, after which the
  // destructor still rolls back.
  void commit();

 private:
  void rollback() noexcept;

  bool open_ = false;
};

}  // namespace korvan
