#include "pdf/pdf_printer.h"
#include "pdf/pdf_prompts_sink.h"

#include "support/scripted_prompts.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace tarvik;

TEST(PdfPromptsSink, MessagesBecomeMessageBoxesOfTheToolkit) {
    test::TempDir dir;
    test::ScriptedPrompts prompts;
    PromptsPdfMessageSink sink(prompts);
    PdfPrinterServices services;
    services.messages = &sink;
    services.programFolder = dir.path();
    PDFPrinter p(services);
    p.PDFSetUnit(9);
    p.PDFConfirm(true);
    p.PDFFileName((dir / "x.pdf").string());
    p.PDFBeginDoc();
    ASSERT_TRUE(p.PDFEndDoc());
    const auto& shown = prompts.shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].kind, test::ScriptedPrompts::Shown::Kind::Inform);
    EXPECT_EQ(shown[0].title, "Code Unité de Mesure - qkPDF 4.0");
    EXPECT_EQ(shown[0].icon, PromptIcon::Critical);
    EXPECT_EQ(shown[1].text, "Fichier PDF généré.");
    EXPECT_EQ(shown[1].icon, PromptIcon::None);
}
