#pragma once

#include "calllog.h"

#include <QElapsedTimer>

#include <benchmark/benchmark.h>
#include <valgrind/callgrind.h>

#include <cstring>
#include <string>

// What an operator's step costs the pendant: its time, with the stand-ins' share told apart, and,
// when the benchmark runs under callgrind, its instructions. The count leaves out the stand-ins,
// which do the controller's work here, except the host's style sheet, which the pendant applies.
// Each benchmark's count is dumped at its end as "step <name> steps <n>", read by
// scripts/instructions, which gives the count per step.
class StepCost : public sim::StandInWatcher
{
public:
    // The name is the benchmark's function's, its first `args` arguments after it: "BM_Step/0/5000"; each
    // iteration takes `steps` of the operator's steps.
    StepCost(benchmark::State &state, const char *name, int args, int steps = 1)
        : m_state(state), m_name(name), m_steps(steps)
    {
        for (int i = 0; i < args; ++i)
            m_name += '/' + std::to_string(state.range(i));
        CALLGRIND_ZERO_STATS;
        sim::CallLog::instance().watchStandIns(this);
        start();
    }
    ~StepCost() override { sim::CallLog::instance().watchStandIns(nullptr); }
    StepCost(const StepCost &) = delete;
    StepCost &operator=(const StepCost &) = delete;

    void pause()
    {
        stop();
        m_state.PauseTiming();
    }
    void resume()
    {
        m_state.ResumeTiming();
        start();
    }
    // Ends the timed and counted part.
    void report()
    {
        stop();
        m_state.counters["module_ms"] = benchmark::Counter((m_wholeNs - m_standInNs) / 1e6, benchmark::Counter::kAvgIterations);
        m_state.counters["stand_ins_ms"] = benchmark::Counter(m_standInNs / 1e6, benchmark::Counter::kAvgIterations);
        const std::string dump = "step " + m_name + " steps " + std::to_string(m_state.iterations() * m_steps);
        CALLGRIND_DUMP_STATS_AT(dump.c_str());
    }

    void entered(const char *name) override
    {
        m_inStep = m_counting;
        if (!m_inStep)
            return;
        m_standInClock.start();
        if (std::strcmp(name, "RtmSetUIStyleSheet") != 0) {
            CALLGRIND_TOGGLE_COLLECT;
            m_outOfCount = true;
        }
    }
    void left() override
    {
        if (m_inStep)
            m_standInNs += m_standInClock.nsecsElapsed();
        if (m_outOfCount) {
            CALLGRIND_TOGGLE_COLLECT;
            m_outOfCount = false;
        }
    }

private:
    void start()
    {
        m_clock.start();
        m_counting = true;
        CALLGRIND_TOGGLE_COLLECT;
    }
    void stop()
    {
        if (!m_counting)
            return;
        CALLGRIND_TOGGLE_COLLECT;
        m_counting = false;
        m_wholeNs += m_clock.nsecsElapsed();
    }

    benchmark::State &m_state;
    std::string m_name;
    const int m_steps;
    QElapsedTimer m_clock;
    QElapsedTimer m_standInClock;
    qint64 m_wholeNs = 0;
    qint64 m_standInNs = 0;
    bool m_counting = false; // within the step: timed, and counted under callgrind
    bool m_inStep = false;    // the stand-in call came within the step
    bool m_outOfCount = false;
};

// Under callgrind each step is taken twice, a mode switch both ways, and its count averaged.
inline void counted(benchmark::internal::Benchmark *b)
{
    if (RUNNING_ON_VALGRIND)
        b->Iterations(2);
}
