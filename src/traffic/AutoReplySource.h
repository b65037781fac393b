#pragma once

// What the receive handler asks before matching: is answering on, and the rows.
// The window answers from its switch and its loaded file; the command line
// always answers, from the file it was given.

namespace vpx {

class TAutoReplyTable;
struct TAutoReplyAnswer;
struct TReplyFaults;

class TAutoReplySource {
public:
    virtual ~TAutoReplySource() = default;
    virtual bool IsAutoReplyOn() const = 0;
    virtual const TAutoReplyTable& Table() const = 0;
    // Row `index` answers: TAutoReplyTable::NextAnswer on the table the source owns.
    virtual TAutoReplyAnswer NextAnswer(int index, const TReplyFaults& faults) = 0;
};

} // namespace vpx
