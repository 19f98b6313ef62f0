#pragma once

// Whether the service's working record holds the controller's reservation configuration: read
// when the screen opened, or read again since. Until it does, a save would write defaults over
// settings that nobody has seen, so the pages that save it check here first. The page stack
// keeps one for its pages; a page on its own keeps its own.
class ConfigState
{
public:
    bool known() const { return m_known; }
    // The configuration was read from the controller: known, and a new generation.
    void markRead()
    {
        m_known = true;
        ++m_reads;
    }
    // The configuration could not be fetched or read.
    void markUnknown() { m_known = false; }
    // Counts the reads, so a page built from an older record can tell that it is stale.
    int generation() const { return m_reads; }

private:
    bool m_known = false;
    int m_reads = 0;
};
