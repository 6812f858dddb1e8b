// A fresh frame over a temporary settings directory for every test, so that no test touches
// the user's settings, and helpers to make documents and read files.
#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>
#include <string>

#include "main_frame.h"

namespace folvek::test {

class AppTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Builds the frame as the program does (document and overrides taken from the shell state).
    MainFrame* start(bool show = true);
    // Destroys the frame (the view writes the history).
    void stop();

    std::string dirPath() const;  // settings directory, ends with '/'
    std::string writeFile(const std::string& name, const std::string& bytes);
    std::string readFile(const std::string& path) const;
    // A document of n pages, each page a few short lines, pages split by form feeds.
    std::string pagedDocument(const std::string& name, int pages);

    ReportView* view() const;
    // The file the window shows (its document's path).
    std::string shownPath() const;
    QTemporaryDir dir;
    std::unique_ptr<MainFrame> frame;
};

}  // namespace folvek::test
