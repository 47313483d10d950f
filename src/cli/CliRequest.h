#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for, checked for form only: files, models and
// settings are looked at when the job is put together.
struct CliRequest {
    enum class Command { Download, Discover, Help, Version };
    Command command = Command::Help;

    // download: a set file, or the set given by options
    QString setFile;
    QString model;
    bool passThrough = false;
    QString application;
    QString format;
    QStringList lookups;
    int firstLookup = -1; // -1: not given
    bool setByOptions = false;

    QStringList targets;
    QString line;
    int flow = -1; // -1: not given
    bool takeModelSettings = false;
    bool json = false;
    QString dryRun;
    QString trace;

    // discover
    QString range;
    int port = 9100;
    int parallel = 32;
    int timeoutMs = 500;
};
