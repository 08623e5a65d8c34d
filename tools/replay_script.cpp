// replay_script.cpp -- reads a key script: one line per frame naming the
// keys held in it, with an optional repeat count ("x20") and picture mark
// ("shot NAME"); "#" starts a comment, "-" is a frame with no key held, and
// blank lines are not frames. Every mistake is reported with its line and
// word, before the window opens.

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>

#include "replay.h"
#include "game.h"

const long MAX_FRAMES = 1000000;   // a script longer than this is a mistake
const long MAX_REPEAT = 100000;    // largest "xN"
const size_t MAX_SHOT_NAME = 64;

// Names of the character keys that are not a single letter or digit: the
// space bar and the unshifted top row of a French keyboard, by their X names.
struct KeyName {
    const char* name;
    int code;
};
const KeyName CHAR_NAMES[] = {
    {"space", ' '},      {"ampersand", '&'},   {"eacute", 233},
    {"quotedbl", '"'},   {"apostrophe", '\''}, {"parenleft", '('},
    {"minus", '-'},      {"egrave", 232},      {"underscore", '_'},
    {"ccedilla", 231},   {"agrave", 224},      {"parenright", ')'},
    {"equal", '='},
};
const KeyName SPECIAL_NAMES[] = {
    {"up", GLUT_KEY_UP},      {"down", GLUT_KEY_DOWN}, {"left", GLUT_KEY_LEFT},
    {"right", GLUT_KEY_RIGHT}, {"f1", GLUT_KEY_F1},    {"f2", GLUT_KEY_F2},
    {"f3", GLUT_KEY_F3},      {"f4", GLUT_KEY_F4},     {"f5", GLUT_KEY_F5},
    {"f6", GLUT_KEY_F6},      {"f7", GLUT_KEY_F7},     {"f8", GLUT_KEY_F8},
    {"f9", GLUT_KEY_F9},      {"f10", GLUT_KEY_F10},   {"f11", GLUT_KEY_F11},
    {"f12", GLUT_KEY_F12},
};

// The character code a word names, or -1. A single letter or digit names
// itself (upper case too: the game ignores it, but a script may check that).
static int charKeyCode(const std::string& word)
{
    if (word.size() == 1 && isalnum((unsigned char)word[0]))
        return (unsigned char)word[0];
    for (const KeyName& k : CHAR_NAMES)
        if (word == k.name)
            return k.code;
    return -1;
}

// The GLUT special key a word names, or -1.
static int specialKeyCode(const std::string& word)
{
    for (const KeyName& k : SPECIAL_NAMES)
        if (word == k.name)
            return k.code;
    return -1;
}

// The script name of a key, "" if the format has none: the other way round
// from charKeyCode and specialKeyCode. special is 1 for a GLUT special key.
std::string keyName(int code, int special)
{
    if (special) {
        for (const KeyName& k : SPECIAL_NAMES)
            if (k.code == code)
                return k.name;
        return "";
    }
    if (code < 128 && isalnum(code))
        return std::string(1, (char)code);
    for (const KeyName& k : CHAR_NAMES)
        if (k.code == code)
            return k.name;
    return "";
}

// A word as it may be shown on a terminal: bytes that are not printable
// ASCII are written as \xNN, and a very long word is cut.
static std::string shownWord(const std::string& word, size_t most = 40)
{
    std::string shown;
    for (size_t i = 0; i < word.size() && i < most; i++) {
        unsigned char c = word[i];
        if (c >= 32 && c < 127) {
            shown += (char)c;
        } else {
            char hex[8];
            snprintf(hex, sizeof hex, "\\x%02x", c);
            shown += hex;
        }
    }
    if (word.size() > most)
        shown += "...";
    return shown;
}

// Prints one error about a script line and returns 0, so callers can
// "return scriptError(...)".
static int scriptError(const std::string& source, int line, const char* what,
                       const std::string& word)
{
    fprintf(stderr, "replay: %s line %d: %s \"%s\"\n", shownWord(source, 200).c_str(), line, what,
            shownWord(word).c_str());
    return 0;
}

// Is the word a repeat count "xN"? Sets *count; 1 valid, 0 not a repeat
// word at all (a lone "x" is the key x), -1 a repeat out of range.
static int repeatCount(const std::string& word, long* count)
{
    if (word.size() < 2 || word[0] != 'x')
        return 0;
    for (size_t i = 1; i < word.size(); i++)
        if (!isdigit((unsigned char)word[i]))
            return 0;
    if (word.size() > 8)
        return -1;
    *count = strtol(word.c_str() + 1, nullptr, 10);
    return (*count >= 1 && *count <= MAX_REPEAT) ? 1 : -1;
}

// A picture name becomes a file name in the output folder: letters, digits,
// "-" and "_" only, so it can name no other folder.
static int goodShotName(const std::string& name)
{
    if (name.empty() || name.size() > MAX_SHOT_NAME)
        return 0;
    for (unsigned char c : name)
        if (!isalnum(c) && c != '-' && c != '_')
            return 0;
    return 1;
}

// Adds a key to the frame once, whichever table it belongs to. Returns 0 if
// the word names no key.
static int addKey(ScriptFrame& frame, const std::string& word)
{
    int code = charKeyCode(word);
    std::vector<int>* keys = &frame.chars;
    if (code < 0) {
        code = specialKeyCode(word);
        keys = &frame.specials;
    }
    if (code < 0)
        return 0;
    for (int held : *keys)
        if (held == code)
            return 1;
    keys->push_back(code);
    return 1;
}

// The words of a line, without its comment and its line ending.
static std::vector<std::string> lineWords(std::string text)
{
    size_t hash = text.find('#');
    if (hash != std::string::npos)
        text.erase(hash);
    std::vector<std::string> words;
    std::istringstream in(text);
    std::string word;
    while (in >> word)
        words.push_back(word);
    return words;
}

// Reads one "shot NAME" mark starting at words[*i]; advances *i past it.
static int readShotMark(const std::vector<std::string>& words, size_t* i,
                        ScriptFrame& frame, const std::string& source, int line)
{
    if (!frame.shot.empty())
        return scriptError(source, line, "malformed line: a second shot mark", words[*i]);
    if (*i + 1 >= words.size())
        return scriptError(source, line, "malformed line: shot mark without a name",
                           words[*i]);
    *i += 1;
    if (!goodShotName(words[*i]))
        return scriptError(source, line,
                           "malformed line: shot name must be 1 to 64 letters, digits, - or _",
                           words[*i]);
    frame.shot = words[*i];
    return 1;
}

// Reads one line into frames: nothing for a blank or comment line, else one
// frame per repeat, the shot (if any) taken after the last. Returns 0 after
// printing an error.
int parseScriptLine(const std::string& text, int line, const std::string& source,
                    std::vector<ScriptFrame>& frames)
{
    std::vector<std::string> words = lineWords(text);
    if (words.empty())
        return 1;
    ScriptFrame frame;
    frame.line = line;
    long count = 0;
    for (size_t i = 0; i < words.size(); i++) {
        long n = 0;
        int repeat = repeatCount(words[i], &n);
        if (repeat != 0) {
            if (repeat < 0 || count != 0)
                return scriptError(source, line,
                                   repeat < 0 ? "malformed line: repeat count out of 1..100000"
                                              : "malformed line: a second repeat count",
                                   words[i]);
            count = n;
        } else if (words[i] == "shot") {
            if (!readShotMark(words, &i, frame, source, line))
                return 0;
        } else if (words[i] != "-" && !addKey(frame, words[i])) {
            return scriptError(source, line, "unknown key name", words[i]);
        }
    }
    if (count == 0)
        count = 1;
    if ((long)frames.size() + count > MAX_FRAMES)
        return scriptError(source, line, "malformed line: the script passes 1000000 frames",
                           words[0]);
    std::string shot = frame.shot;
    frame.shot.clear();
    frames.insert(frames.end(), count, frame);
    frames.back().shot = shot;
    return 1;
}

// Each picture is written once: a name used twice would overwrite the first.
static int checkShotNames(const std::vector<ScriptFrame>& frames, const std::string& source)
{
    std::set<std::string> seen;
    for (const ScriptFrame& f : frames)
        if (!f.shot.empty() && !seen.insert(f.shot).second)
            return scriptError(source, f.line, "malformed line: shot name used twice", f.shot);
    return 1;
}

// Reads a whole script into frames. Returns 0 after printing an error.
int readScript(const std::string& path, std::vector<ScriptFrame>& frames)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        fprintf(stderr, "replay: cannot read script \"%s\": %s\n", shownWord(path, 200).c_str(),
                strerror(errno));
        return 0;
    }
    std::string text;
    int line = 0;
    while (std::getline(in, text)) {
        line++;
        if (!parseScriptLine(text, line, path, frames))
            return 0;
    }
    if (frames.empty()) {
        fprintf(stderr, "replay: %s: the script has no frame\n", shownWord(path, 200).c_str());
        return 0;
    }
    return checkShotNames(frames, path);
}

// A whole decimal number in [low, high], or -1. Read as long long, 64 bits
// on every platform: long is only 32 on Windows, too short for a seed.
long long wholeNumber(const char* text, long long low, long long high)
{
    char* end = nullptr;
    errno = 0;
    long long v = strtoll(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || v < low || v > high)
        return -1;
    return v;
}
