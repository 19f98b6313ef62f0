#pragma once

#include "treefiles/result.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

// What the command line asks for.
struct Options
{
    QString module;
    bool moduleGiven = false;
    QString panelRoot;
    QString controllerRoot;
    int idleMs = 20;
    int quitAfterMs = -1;
    QString tourDir;
    qint64 runTimeMs = 3000;
    double speed = 1;
    double tourPace = 1;
    QString language;
    bool simulator = true;
    QStringList scenarios;
    QString report;
    QString htmlReport;
    bool widgets = false;
    QString screenshots;
    QString journal;
    QString record;
    bool verbose = false;
    bool check = false;
};

// The virtual panel's options, with their help.
class CommandLine
{
public:
    explicit CommandLine(const QString &defaultModule);

    // True when the arguments ask only for the help or the version, which need no display.
    static bool asksForHelpOrVersion(const QStringList &arguments);
    // "steps" or "schema" when the arguments ask for the step reference or the scenario schema,
    // which need no display either; else an empty text.
    static QString asksForReference(const QStringList &arguments);
    // Prints the help or the version and ends the program.
    void showHelpOrVersion(const QStringList &arguments);
    // Reads and checks every value before anything starts; a failure names the option and its
    // value.
    Result parse(const QStringList &arguments, Options *options);

private:
    QCommandLineParser m_parser;
    QCommandLineOption m_module, m_panel, m_controller, m_idle, m_quitAfter, m_tour, m_runTime, m_speed, m_pace,
        m_language, m_noSimulator, m_scenario, m_report, m_screenshots, m_journal, m_record, m_steps, m_stepsMarkdown, m_schema, m_htmlReport, m_widgets, m_verbose, m_check;
};
