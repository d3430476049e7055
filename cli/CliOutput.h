#pragma once

// What orvane-cli prints on standard output: plain lines for people, or with --json one JSON
// object per line for scripts. Names are the bytes the file system gave; in JSON a name that is
// not valid UTF-8 shows with replacement characters and its exact bytes in a field "..._hex".

#include <QJsonObject>
#include <string>

class CliOutput {
public:
    explicit CliOutput(bool json) : json_(json) {}
    bool json() const { return json_; }

    // A plain line (ignored for JSON).
    void line(const std::string& text);
    // A JSON object (ignored for plain text).
    void object(const QJsonObject& o);
    // A name for a JSON object, under key (and key_hex when it is not UTF-8).
    static void putName(QJsonObject& o, const QString& key, const std::string& bytes);

private:
    bool json_;
};
