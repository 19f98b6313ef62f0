#pragma once

#include <QString>

// How a step came out when the runner took it.
struct StepOutcome
{
    enum State {
        Held,    // done, and what it expects holds
        NotYet,  // nothing done yet: tried again until it holds or its time is up
        Later,   // part done, or time must pass: taken again after againMs, whatever its limit
        Failed,  // what it expects does not hold
        Error    // the step cannot be taken as written
    } state = Held;
    QString message;
    int againMs = 0;
};

inline StepOutcome held() { return {}; }
inline StepOutcome notYet(const QString &message) { return {StepOutcome::NotYet, message}; }
inline StepOutcome later(int ms) { return {StepOutcome::Later, QString(), ms}; }
inline StepOutcome failed(const QString &message) { return {StepOutcome::Failed, message}; }
inline StepOutcome error(const QString &message) { return {StepOutcome::Error, message}; }
// An outcome from an input's refusal: none means done; the operator waits for the screen.
inline StepOutcome inputOutcome(const QString &refusal) { return refusal.isEmpty() ? held() : notYet(refusal); }
