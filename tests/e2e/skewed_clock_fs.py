#!/usr/bin/env python3
"""A folder served as a file server whose clock is off by a fixed offset.

Every time stamp the file system reports is the backing folder's plus the
offset, and every time set through it is taken back by the offset, as when a
server stamps files by its own clock. Files keep the backing folder's inode
numbers, so that a file's identity is the same through the mount. With a
stall, every look-up of a .dcm file takes that long, as on a share behind a
slow link; look-ups are then served in threads of their own. Look-ups that the
Wine server makes for its clients are not stalled: it is one thread for every
Wine process, so a stall there would freeze every window under Wine, which
has nothing to do with Windows (where no such server exists).

    skewed_clock_fs.py BACKING MOUNTPOINT OFFSET_SECONDS [STALL_SECONDS]
"""
import errno
import os
import sys
import time

from fusepy import FUSE, FuseOSError, Operations, fuse_get_context


class SkewedClock(Operations):
    def __init__(self, root, offset, stall=0.0):
        self.root = root
        self.offset = offset
        self.stall = stall

    def _path(self, path):
        return os.path.join(self.root, path.lstrip("/"))

    def access(self, path, mode):
        if not os.access(self._path(path), mode):
            raise FuseOSError(errno.EACCES)

    def _caller_stalls(self):
        try:
            with open(f"/proc/{fuse_get_context()[2]}/comm") as comm:
                return not comm.read().startswith("wineserver")
        except OSError:
            return True

    def getattr(self, path, fh=None):
        if self.stall and path.lower().endswith(".dcm") and self._caller_stalls():
            time.sleep(self.stall)
        try:
            st = os.lstat(self._path(path))
        except OSError as e:
            raise FuseOSError(e.errno)
        attrs = {key: getattr(st, key) for key in
                 ("st_mode", "st_nlink", "st_uid", "st_gid", "st_size", "st_ino")}
        for key in ("st_atime", "st_mtime", "st_ctime"):
            attrs[key] = getattr(st, key) + self.offset
        return attrs

    def readdir(self, path, fh):
        return [".", ".."] + os.listdir(self._path(path))

    def statfs(self, path):
        st = os.statvfs(self._path(path))
        return {key: getattr(st, key) for key in
                ("f_bavail", "f_bfree", "f_blocks", "f_bsize", "f_favail", "f_ffree",
                 "f_files", "f_flag", "f_frsize", "f_namemax")}

    def chmod(self, path, mode):
        os.chmod(self._path(path), mode)

    def chown(self, path, uid, gid):
        os.chown(self._path(path), uid, gid)

    def mkdir(self, path, mode):
        os.mkdir(self._path(path), mode)

    def rmdir(self, path):
        os.rmdir(self._path(path))

    def unlink(self, path):
        os.unlink(self._path(path))

    def rename(self, old, new):
        os.rename(self._path(old), self._path(new))

    def utimens(self, path, times=None):
        if times is not None:
            times = tuple(t - self.offset for t in times)
        os.utime(self._path(path), times)

    def open(self, path, flags):
        return os.open(self._path(path), flags)

    def create(self, path, mode, fi=None):
        return os.open(self._path(path), os.O_RDWR | os.O_CREAT | os.O_TRUNC, mode)

    def read(self, path, size, offset, fh):
        return os.pread(fh, size, offset)

    def write(self, path, data, offset, fh):
        return os.pwrite(fh, data, offset)

    def truncate(self, path, length, fh=None):
        if fh is not None:
            os.ftruncate(fh, length)
        else:
            os.truncate(self._path(path), length)

    def flush(self, path, fh):
        return 0

    def fsync(self, path, datasync, fh):
        return 0

    def release(self, path, fh):
        os.close(fh)


if __name__ == "__main__":
    backing, mountpoint, offset = sys.argv[1], sys.argv[2], float(sys.argv[3])
    stall = float(sys.argv[4]) if len(sys.argv) > 4 else 0.0
    FUSE(SkewedClock(backing, offset, stall), mountpoint, foreground=True, nothreads=stall == 0,
         use_ino=True, attr_timeout=0, entry_timeout=0, negative_timeout=0)
