#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "codepage/codepage.h"
#include "temphome.h"
#include "zip/ziphandler.h"
#include "zip/zmmessages.h"
#include "zipwriter.h"

// A zip component whose messages are recorded instead of shown.
class ZipFixture : public ::testing::Test {
protected:
    ZipFixture()
    {
        zip_.OnMessage = [this](int, int number, const std::u16string& text) {
            if (number != 0) {
                messages_.push_back(number);
                texts_.push_back(text);
            }
        };
        zip_.MessageDialog = [this](const std::u16string& text) { dialogs_.push_back(text); };
    }

    std::u16string Write(const std::string& name, const std::string& bytes)
    {
        return kolvarin::codepage::Utf8ToUtf16(dir_.write(name, bytes).string());
    }
    std::u16string Write(const std::string& name, const ktest::ZipArchive& archive)
    {
        return Write(name, ktest::WriteZip(archive));
    }

    // Opens an archive and returns the number of the EZipHandler it raised, 0
    // when none.
    int Open(const std::u16string& name)
    {
        try {
            zip_.SetZipFileName(name);
        } catch (const kolvarin::EZipHandler& e) {
            raised_ = e.Text();
            return e.Number();
        }
        return 0;
    }

    std::vector<std::u16string> Names() const
    {
        std::vector<std::u16string> out;
        for (int i = 0; i < zip_.Count(); ++i) {
            out.push_back(zip_.DirEntry(i).FileName);
        }
        return out;
    }

    ktest::TempDir dir_;
    kolvarin::TZipHandler zip_;
    std::vector<int> messages_;
    std::vector<std::u16string> texts_;
    std::vector<std::u16string> dialogs_;
    std::u16string raised_;
};
