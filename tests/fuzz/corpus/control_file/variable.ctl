load data
infile 'D:\data\emp.txt'
append into table EMP
fields terminated by '	' 
optionally enclosed by '"'
(
EMPNO CHAR,
HIREDATE DATE  'YYYY-MM-DD'
)