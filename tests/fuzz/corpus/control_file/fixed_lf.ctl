LOAD DATA
infile 'жа\emp.txt'
REPLACE INTO TABLE emp
(
EMPNO position(01:12) CHAR,
HIREDATE position(13:22) DATE'YYYYMMDD'
)