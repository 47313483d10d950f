#pragma once

#include <QString>

class QTemporaryDir;

// Application files for the transfer benchmark.
namespace BenchApplication {

// Acknowledged packets in every generated file, whatever its size.
constexpr int kPackets = 50000;

// Writes an application of about `megabytes` MB of 400-byte lines into
// `dir`, `kPackets` packets in all; returns its path and its line count in
// `lines`, or an empty path when it cannot be written.
QString make(const QTemporaryDir &dir, int megabytes, qint64 *lines);

} // namespace BenchApplication
