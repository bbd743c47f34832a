#include "board/boardoptions.h"

#include "board/identity.h"
#include "platform/virtualbus.h"

#include <charconv>

namespace board {
namespace {

template <class Number>
std::optional<Number> Parse(std::string_view text, int base = 10) {
  if (base == 16 && (text.starts_with("0x") || text.starts_with("0X"))) text.remove_prefix(2);
  Number value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

bool ParseLayout(std::string_view text, BoardConfig& config) {
  const std::size_t cross = text.find_first_of("xX");
  if (cross == std::string_view::npos) return false;
  const std::optional<int> rows = Parse<int>(text.substr(0, cross));
  const std::optional<int> cols = Parse<int>(text.substr(cross + 1));
  if (!rows || !cols) return false;
  config.rows = *rows;
  config.cols = *cols;
  return true;
}

bool ParseFault(std::string_view fault, BoardOptions& options) {
  const std::size_t equals = fault.find('=');
  const std::string_view name = fault.substr(0, equals);
  const std::string_view value = equals == std::string_view::npos ? std::string_view() : fault.substr(equals + 1);
  const bool hasValue = equals != std::string_view::npos;
  if (!hasValue && name == "silent") {
    options.silent = true;
  } else if (!hasValue && name == "no-manufacturer") {
    options.identity.manufacturer.reset();
  } else if (!hasValue && name == "no-product") {
    options.identity.product.reset();
  } else if (hasValue && name == "manufacturer") {
    options.identity.manufacturer = Widen(value);
  } else if (hasValue && name == "product") {
    options.identity.product = Widen(value);
  } else if (name == "late") {
    const std::optional<unsigned> ms = Parse<unsigned>(value);
    if (!ms) return false;
    options.replyDelay = std::chrono::milliseconds(*ms);
  } else if (name == "vanish") {
    const std::optional<unsigned> reports = Parse<unsigned>(value);
    if (!reports || *reports == 0) return false;
    options.vanishAfter = *reports;
  } else if (name == "vendor-id" || name == "product-id") {
    const std::optional<std::uint16_t> id = Parse<std::uint16_t>(value, 16);
    if (!id) return false;
    (name == "vendor-id" ? options.identity.vendorId : options.identity.productId) = *id;
  } else {
    return false;
  }
  return true;
}

bool ParseModel(std::string_view text, Model& model) {
  if (text == "single") model = Model::Single;
  else if (text == "expansion") model = Model::Expansion;
  else return false;
  return true;
}

bool ParseTiming(std::string_view text, std::chrono::microseconds& period) {
  double ms = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), ms);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || ms < 0 || ms > 1000) return false;
  period = std::chrono::microseconds(static_cast<long long>(ms * 1000));
  return true;
}

bool ApplyOption(std::string_view option, const std::string& value, BoardOptions& options) {
  if (option == "--dir") {
    options.directory = value;
    return !value.empty();
  }
  if (option == "--name") {
    options.name = value;
    return !value.empty() && value.find('/') == std::string::npos;
  }
  if (option == "--model") return ParseModel(value, options.config.model);
  if (option == "--layout") return ParseLayout(value, options.config);
  if (option == "--brand") options.config.brand = value;
  if (option == "--device-type") options.config.deviceType = value;
  if (option == "--brand" || option == "--device-type") return value.size() <= BoardConfig::kCodeSize;
  if (option == "--timing-ms") return ParseTiming(value, options.reportPeriod);
  if (option == "--fault") return ParseFault(value, options);
  return false;
}

}  // namespace

std::optional<BoardOptions> BoardOptions::Parse(const std::vector<std::string>& arguments, std::string& error) {
  BoardOptions options;
  options.directory = plat::VirtualBus::DefaultDirectory();
  options.identity = DefaultIdentity();
  for (std::size_t i = 0; i < arguments.size(); i += 2) {
    if (i + 1 >= arguments.size()) {
      error = "missing value for " + arguments[i];
      return std::nullopt;
    }
    if (!ApplyOption(arguments[i], arguments[i + 1], options)) {
      error = "invalid option: " + arguments[i] + " " + arguments[i + 1];
      return std::nullopt;
    }
  }
  if (!options.config.Valid()) {
    error = "layout out of range (rows and columns 0-9)";
    return std::nullopt;
  }
  return options;
}

std::string BoardOptions::Usage() {
  return "usage: varnostellion-board [--dir DIR] [--name NAME] [--model single|expansion] [--layout RxC]\n"
         "                           [--brand CODE] [--device-type CODE] [--timing-ms MS] [--fault FAULT]...\n"
         "faults: silent, late=MS, vanish=REPORTS, no-manufacturer, no-product, manufacturer=TEXT,\n"
         "        product=TEXT, vendor-id=HEX, product-id=HEX\n";
}

}  // namespace board
