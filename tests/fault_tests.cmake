# report fault-injection tests: full disk, partial writes under a file size limit, read-only
# files, directories, missing folders, files that vanish between two presses.
add_bendwise_test(report_fault_test fault/ReportFaultTest.cpp)
# file writer faults: concurrent writers, a kill while a file is replaced, device nodes,
# symbolic links, a file appearing between look and open, one file under two names.
add_bendwise_test(file_write_fault_test fault/FileWriteFaultTest.cpp)
