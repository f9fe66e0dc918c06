#include "driver/Win32ClientDriver.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <stdexcept>

#include "FakeClientProtocol.h"
#include "driver/FakeClientProcess.h"

namespace wintest {

Win32ClientDriver::Win32ClientDriver() {
    FakeClientProcess::shared().onRefused = [](const std::string& verb) {
        ADD_FAILURE() << "the fake client did not take the command: " << verb;
    };
    command({"reset"});
}

void Win32ClientDriver::hangFor(int ms) {
    command({"hang", std::to_string(ms)});
    // The client hangs once it gets to the hang it posted itself: wait until it no longer
    // answers, so that nothing the test sends next slips in before.
    for (int i = 0; i < 200 && FakeClientProcess::shared().answers(100); ++i) Sleep(5);
}

void Win32ClientDriver::addDocument(const std::string& caption,
                                    const std::vector<std::string>& childClasses) {
    std::vector<std::string> words{"document", caption};
    words.insert(words.end(), childClasses.begin(), childClasses.end());
    command(words);
}

std::vector<aol::contract::ReceivedIm> Win32ClientDriver::instantMessagesSent() {
    std::vector<aol::contract::ReceivedIm> out;
    for (const std::string& line : lines(command({"ims"}))) {
        const std::size_t tab = line.find('\t');
        out.push_back({line.substr(0, tab), tab == std::string::npos ? "" : line.substr(tab + 1)});
    }
    return out;
}

std::string Win32ClientDriver::command(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words) {
        if (!text.empty()) text += fakeclient::kWordSeparator;
        text += word;
    }
    return FakeClientProcess::shared().command(text, words.front());
}

std::string Win32ClientDriver::Decimal(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", value);
    return text;
}

std::vector<std::string> Win32ClientDriver::lines(const std::string& text) {
    std::vector<std::string> out;
    if (text.empty()) return out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find('\n', start);
        out.push_back(
            text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return out;
        start = end + 1;
    }
}

}  // namespace wintest
