// A record that loads print files as Windows text and gives back the stored lines, for the
// tests of the printer languages.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "test_support.h"
#include "text_encoding.h"

namespace folvek::coretest {

class PrintFileTest : public ::testing::Test {
  protected:
    std::vector<std::string> load(const std::string& bytes) {
        doc->freeText();
        doc->encodingOverride = EncodingChoice::Cp1251;
        EXPECT_EQ(doc->loadText(dir.file("doc.prn", bytes)), 1);
        return texts(doc->lines);
    }
    ScratchDir dir;
    MessageRecorder messages;
    std::unique_ptr<DocumentRecord> doc = makeRecord(dir, messages);
};

}  // namespace folvek::coretest
