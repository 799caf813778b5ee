#include "xlsx/zip_writer.h"

#include <algorithm>
#include <utility>

#include "work/work_pool.h"
#include "xlsx/entry_deflater.h"

namespace {
constexpr std::uint32_t kLocalHeaderSignature = 0x04034b50;
constexpr std::uint32_t kDataDescriptorSignature = 0x08074b50;
constexpr std::uint32_t kCentralHeaderSignature = 0x02014b50;
constexpr std::uint32_t kZip64EndSignature = 0x06064b50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint16_t kZip64ExtraTag = 0x0001;

// Version 2.0 reads deflate; 4.5 is needed for ZIP64 records.
constexpr std::uint16_t kVersionDeflate = 20;
constexpr std::uint16_t kVersionZip64 = 45;
// Bit 3: the CRC and sizes follow the data, in a data descriptor.
constexpr std::uint16_t kFlagDataDescriptor = 0x0008;
constexpr std::uint16_t kMethodDeflate = 8;
// 1980-01-01 00:00, the first date DOS can hold: no clock makes two runs differ.
constexpr std::uint16_t kDosTime = 0;
constexpr std::uint16_t kDosDate = (1 << 5) | 1;

constexpr std::uint32_t kNo32 = 0xFFFFFFFF;  // "see the ZIP64 record"
constexpr std::uint16_t kNo16 = 0xFFFF;

void Put16(std::string& out, std::uint16_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>(value >> 8);
}

void Put32(std::string& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((value >> shift) & 0xFF);
}

void Put64(std::string& out, std::uint64_t value) {
  for (int shift = 0; shift < 64; shift += 8) out += static_cast<char>((value >> shift) & 0xFF);
}

WorkPool* Deflating(const ZipOptions& options) {
  if (!options.compressInBackground) return nullptr;
  return options.pool != nullptr ? options.pool : &WorkPool::Shared();
}

// Names are the workbook's own part names: short ASCII.
std::uint16_t NameLength(const std::string& name) { return static_cast<std::uint16_t>(name.size()); }
}  // namespace

ZipWriter::ZipWriter(ByteSink& sink, ZipOptions options)
    : options_(options), deflater_(std::make_unique<EntryDeflater>(sink, options.level, Deflating(options))) {}

ZipWriter::~ZipWriter() = default;

bool ZipWriter::Failed() const { return deflater_->Failed(); }

bool ZipWriter::BeginEntry(std::string name) {
  if (inEntry_ || Failed()) return false;
  name.resize(std::min<std::size_t>(name.size(), kNo16));
  std::string header;
  Put32(header, kLocalHeaderSignature);
  Put16(header, kVersionDeflate);
  Put16(header, kFlagDataDescriptor);
  Put16(header, kMethodDeflate);
  Put16(header, kDosTime);
  Put16(header, kDosDate);
  Put32(header, 0);  // CRC-32 and both sizes: in the data descriptor
  Put32(header, 0);
  Put32(header, 0);
  Put16(header, NameLength(name));
  Put16(header, 0);  // no extra field
  header += name;
  Entry entry;
  entry.name = std::move(name);
  entry.offset = offset_;
  entries_.push_back(std::move(entry));
  inEntry_ = true;
  deflater_->Begin();
  return Put(header);
}

bool ZipWriter::Write(std::string_view bytes) { return inEntry_ && deflater_->Write(bytes); }

bool ZipWriter::EndEntry() {
  if (!inEntry_) return false;
  inEntry_ = false;
  EntryDeflater::Sums sums;
  const bool deflated = deflater_->End(sums);
  Entry& entry = entries_.back();
  entry.crc = sums.crc;
  entry.size = sums.size;
  entry.compressedSize = sums.compressedSize;
  offset_ += sums.compressedSize;
  if (!deflated) return false;
  // Readers take the descriptor's sizes as 64-bit exactly when the entry
  // needs ZIP64 sizes in the central directory.
  std::string descriptor;
  Put32(descriptor, kDataDescriptorSignature);
  Put32(descriptor, entry.crc);
  if (EntryNeedsZip64(entry)) {
    Put64(descriptor, entry.compressedSize);
    Put64(descriptor, entry.size);
  } else {
    Put32(descriptor, static_cast<std::uint32_t>(entry.compressedSize));
    Put32(descriptor, static_cast<std::uint32_t>(entry.size));
  }
  return Put(descriptor);
}

bool ZipWriter::Finish() {
  if (inEntry_ && !EndEntry()) return false;
  if (Failed()) return false;
  const std::uint64_t directoryOffset = offset_;
  for (const Entry& entry : entries_) {
    if (!Put(CentralHeader(entry))) return false;
  }
  return Put(EndRecords(directoryOffset, offset_ - directoryOffset));
}

bool ZipWriter::Put(const std::string& bytes) {
  if (!deflater_->WriteStored(bytes)) return false;
  offset_ += bytes.size();
  return true;
}

bool ZipWriter::EntryNeedsZip64(const Entry& entry) const {
  return entry.size >= options_.zip64From || entry.compressedSize >= options_.zip64From;
}

std::string ZipWriter::CentralHeader(const Entry& entry) const {
  const bool zip64Sizes = EntryNeedsZip64(entry);
  const bool zip64Offset = entry.offset >= options_.zip64From;
  std::string extra;
  if (zip64Sizes || zip64Offset) {
    Put16(extra, kZip64ExtraTag);
    Put16(extra, static_cast<std::uint16_t>((zip64Sizes ? 16 : 0) + (zip64Offset ? 8 : 0)));
    if (zip64Sizes) {
      Put64(extra, entry.size);
      Put64(extra, entry.compressedSize);
    }
    if (zip64Offset) Put64(extra, entry.offset);
  }
  const std::uint16_t version = extra.empty() ? kVersionDeflate : kVersionZip64;
  std::string header;
  Put32(header, kCentralHeaderSignature);
  Put16(header, version);  // made by: MS-DOS attributes, this version
  Put16(header, version);  // needed to extract
  Put16(header, kFlagDataDescriptor);
  Put16(header, kMethodDeflate);
  Put16(header, kDosTime);
  Put16(header, kDosDate);
  Put32(header, entry.crc);
  Put32(header, zip64Sizes ? kNo32 : static_cast<std::uint32_t>(entry.compressedSize));
  Put32(header, zip64Sizes ? kNo32 : static_cast<std::uint32_t>(entry.size));
  Put16(header, NameLength(entry.name));
  Put16(header, static_cast<std::uint16_t>(extra.size()));
  Put16(header, 0);  // no comment
  Put16(header, 0);  // disk number
  Put16(header, 0);  // internal attributes
  Put32(header, 0);  // external attributes
  Put32(header, zip64Offset ? kNo32 : static_cast<std::uint32_t>(entry.offset));
  header += entry.name;
  header += extra;
  return header;
}

std::string ZipWriter::EndRecords(std::uint64_t directoryOffset, std::uint64_t directorySize) const {
  const std::uint64_t count = entries_.size();
  const bool manyEntries = count >= kNo16;
  const bool bigDirectory = directorySize >= options_.zip64From;
  const bool farDirectory = directoryOffset >= options_.zip64From;
  const bool zip64 = manyEntries || bigDirectory || farDirectory;
  std::string records;
  if (zip64) {
    const std::uint64_t zip64EndOffset = directoryOffset + directorySize;
    Put32(records, kZip64EndSignature);
    Put64(records, 44);  // the size of the rest of this record
    Put16(records, kVersionZip64);
    Put16(records, kVersionZip64);
    Put32(records, 0);  // this disk
    Put32(records, 0);  // the disk where the directory starts
    Put64(records, count);
    Put64(records, count);
    Put64(records, directorySize);
    Put64(records, directoryOffset);
    Put32(records, kZip64LocatorSignature);
    Put32(records, 0);  // the disk of the ZIP64 end record
    Put64(records, zip64EndOffset);
    Put32(records, 1);  // disks in all
  }
  Put32(records, kEndSignature);
  Put16(records, 0);
  Put16(records, 0);
  Put16(records, manyEntries ? kNo16 : static_cast<std::uint16_t>(count));
  Put16(records, manyEntries ? kNo16 : static_cast<std::uint16_t>(count));
  Put32(records, bigDirectory ? kNo32 : static_cast<std::uint32_t>(directorySize));
  Put32(records, farDirectory ? kNo32 : static_cast<std::uint32_t>(directoryOffset));
  Put16(records, 0);  // no comment
  return records;
}
