// The free-form read on any text: whole numbers and reals read, lines
// split, fields converted; nothing may crash, and a read never fills more
// targets than it has.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "textio/free_form.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::istringstream in(text);
  plotwright::LineReader reader{&in, 0};
  int whole[3] = {0, 0, 0};
  double real = 0.0;
  const plotwright::ReadTarget targets[] = {plotwright::IntegerTarget(whole[0]), plotwright::RealTarget(real),
                                            plotwright::IntegerTarget(whole[1]), plotwright::IntegerTarget(whole[2])};
  for (int read = 0; read < 64; ++read) {
    const plotwright::ReadResult result = plotwright::ReadValues(reader, targets);
    FUZZ_EXPECT(result.Filled >= 0 && result.Filled <= 4);
    if (result.Status == plotwright::ReadStatus::kEndOfFile) break;
  }
  const plotwright::SplitLine split = plotwright::SplitFreeForm(text);
  for (const plotwright::FreeFormField& field : split.Fields) {
    int value = 0;
    double number = 0.0;
    const bool converted = plotwright::ConvertInteger(field.Text, value);
    FUZZ_EXPECT(!(converted && plotwright::IsTooLargeWholeNumber(field.Text)));
    plotwright::ConvertReal(field.Text, number);
  }
  return 0;
}
