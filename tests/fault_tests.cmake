# report fault-injection tests: full disk, partial writes under a file size limit, read-only
# files, directories, missing folders, files that vanish between two presses.
add_bendwise_test(report_fault_test fault/ReportFaultTest.cpp)
