#!/usr/bin/python3
"""Checks a DICOM file-set: check_file_set.py DICOMDIR
       [--expect-patients N] [--expect-instances N]

Loads it with pydicom's FileSet (Debian's python3-pydicom), which follows
the records' offsets and refuses a DICOMDIR whose offsets or records do not
hold together. For every instance it prints "<file id> <record's transfer
syntax> <file's transfer syntax>", where the file's is the one in its own meta
group, followed by "missing" or "differs" when they do not match; then
"PATIENT <name>" for each patient. Exits 0 only when the set loads, every
record's file exists and holds the transfer syntax its record names, and the
counts are those expected.
"""
import argparse
import sys

from pydicom import dcmread
from pydicom.filereader import read_file_meta_info
from pydicom.fileset import FileSet

parser = argparse.ArgumentParser()
parser.add_argument("dicomdir")
parser.add_argument("--expect-patients", type=int)
parser.add_argument("--expect-instances", type=int)
args = parser.parse_args()


def file_id(record):
    """The record's Referenced File ID with / between its components."""
    value = record.ReferencedFileID
    return "/".join(value) if record["ReferencedFileID"].VM > 1 else value


try:
    ds = dcmread(args.dicomdir)
    fs = FileSet()
    # An orphan is a record no offset leads to: the offsets are damaged.
    fs.load(ds, raise_orphans=True)
except Exception as error:  # whatever pydicom raises on a damaged DICOMDIR
    why = f"no directory record at offset {error}" if isinstance(error, KeyError) else error
    print(f"cannot load {args.dicomdir}: {type(error).__name__}: {why}")
    sys.exit(1)

good = True
# FileSet drops the instances whose file is missing (with a warning): tell
# them from the records.
present = {instance.node._offset for instance in fs}
for record in ds.DirectoryRecordSequence:
    if "ReferencedFileID" in record and record.seq_item_tell not in present:
        print(f"{file_id(record)} {record.get('ReferencedTransferSyntaxUIDInFile', '-')} missing")
        good = False

patients = []
for instance in fs:
    record = instance.node._record
    expected = record.get("ReferencedTransferSyntaxUIDInFile", "-")
    try:
        actual = read_file_meta_info(instance.path).TransferSyntaxUID
    except Exception:  # no meta group to read
        actual = "none"
    # Not instance.FileID: that is where pydicom would move the file to.
    print(f"{file_id(record)} {expected} {actual}" + ("" if actual == expected else " differs"))
    good &= actual == expected
    for node in instance.node.ancestors:
        if node.record_type == "PATIENT" and node not in patients:
            patients.append(node)

for node in patients:
    print(f"PATIENT {node._record.PatientName}")

for what, expected, found in (("patients", args.expect_patients, len(patients)),
                              ("instances", args.expect_instances, len(fs))):
    if expected is not None and expected != found:
        print(f"{found} {what}, expected {expected}")
        good = False
sys.exit(0 if good else 1)
