#include "base/file_system_kind.h"

#include <linux/magic.h>
#include <sys/vfs.h>

namespace vellick {

FileSystemKind fileSystemKind(int fd)
{
    struct statfs info { };
    if (::fstatfs(fd, &info) != 0)
        return FileSystemKind::Other;
    switch (static_cast<unsigned long>(info.f_type)) {
    case PROC_SUPER_MAGIC:
    case SYSFS_MAGIC:
    case DEBUGFS_MAGIC:
    case TRACEFS_MAGIC:
    case SECURITYFS_MAGIC:
    case CGROUP_SUPER_MAGIC:
    case CGROUP2_SUPER_MAGIC:
    case BPF_FS_MAGIC:
    case PSTOREFS_MAGIC:
    case SELINUX_MAGIC:
    case SMACK_MAGIC:
    case EFIVARFS_MAGIC:
    case BINFMTFS_MAGIC:
    case NSFS_MAGIC:
    case DEVPTS_SUPER_MAGIC:
    case 0x62656570: // configfs
    case 0x65735543: // fusectl
    case 0x19800202: // mqueue
        return FileSystemKind::Generated;
    case EXT4_SUPER_MAGIC: // also ext2 and ext3
    case XFS_SUPER_MAGIC:
    case BTRFS_SUPER_MAGIC:
    case TMPFS_MAGIC:
    case RAMFS_MAGIC:
    case OVERLAYFS_SUPER_MAGIC:
    case F2FS_SUPER_MAGIC:
    case SQUASHFS_MAGIC:
    case ISOFS_SUPER_MAGIC:
    case MSDOS_SUPER_MAGIC:
    case REISERFS_SUPER_MAGIC:
    case 0x2011BAB0: // exFAT
    case 0x3153464A: // JFS
    case 0x2FC12FC1: // ZFS
        return FileSystemKind::Local;
    default:
        return FileSystemKind::Other;
    }
}

} // namespace vellick
