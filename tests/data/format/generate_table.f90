! Test-data generator, not part of the product: writes the texts that the
! Fortran compiler's run-time library gives for the edit descriptors Dw.d,
! ESw.d, Fw.d and Iw on a sample of values (rounding boundaries, powers of ten,
! subnormals, exact ties and random bit patterns). The output table is
! checked in as gfortran_table.txt; tests/platform/format_table_test.cpp
! compares the platform formatter with it row by row.
!
! Row layout:  <descriptor> <value> |<text>|
!   value: the 16 hex digits of the IEEE bits for reals, decimal for integers.
! Run generate_table.sh to rebuild the table.
program generate_table
  use, intrinsic :: iso_fortran_env, only: int64, real64
  implicit none
  integer(int64) :: state = 88172645463325252_int64
  integer :: k, i
  real(real64) :: v, w
  character(len=40) :: text

  ! Values of the style examples and the classic failures of RINEX writers.
  call all_d(0.41402949720150001d0)
  call all_d(0.89382673551549996d0)
  call all_d(123456789012.5d0)
  call all_d(0.99999999999995d0)
  call all_d(0.99999999999996d0)
  call all_d(1.5d-100)
  call all_d(1d-101)
  call all_d(1d100)
  call all_d(1d99)
  call all_d(4.9406564584124654d-324)
  call all_d(-0.000123456789012345d0)
  call all_d(0d0)
  call all_d(-0d0)
  call all_d(1d0)
  call all_d(-1d0)
  call all_d(huge(1d0))
  call all_d(-huge(1d0))
  call all_d(tiny(1d0))
  call all_d(2.5d-309)
  call all_d(2.2250738585072009d-308)   ! largest subnormal

  ! Around every power of ten: the power and the double below it, and the value
  ! that rounds up to it at 12 digits (9.999999999995) with its neighbours.
  do k = -323, 308
    v = read_value('1d', k)
    call real_row('D19.12', v)
    if (k > -323) call real_row('D19.12', nearest(v, -1d0))
    if (k < 308) then
      w = read_value('9.999999999995d', k)
      call real_row('D19.12', w)
      call real_row('D19.12', nearest(w, 1d0))
      call real_row('D19.12', -nearest(w, -1d0))
    end if
  end do

  ! Exact binary ties at the 12th digit: twelve digits and a half.
  do i = 1, 150
    v = real(100000000000_int64 + mod(ishft(next_random(), -20), 900000000000_int64), real64) + 0.5d0
    call real_row('D19.12', v)
    call real_row('D19.12', -v * 1000d0)
  end do

  ! Random bit patterns (NaN and infinity excluded), all widths for some.
  do i = 1, 300
    v = random_bits()
    if (i <= 150) then
      call all_d(v)
    else
      call real_row('D19.12', v)
    end if
  end do

  ! Random values of the sizes found in navigation messages, and subnormals.
  do i = 1, 200
    v = random_unit() * 10d0**(mod(ishft(next_random(), -40), 24_int64) - 14)
    if (mod(i, 2) == 0) v = -v
    call real_row('D19.12', v)
  end do
  do i = 1, 50
    v = transfer(ishft(next_random(), -12), 1d0)
    call real_row('D19.12', v)
  end do

  ! Fw.d: hundredths, the half-way values of F5.1, values that round to
  ! zero, and random values for F10.3.
  do i = -2000, 2000, 13
    call real_row('F5.1', i * 0.01d0)
    call real_row('F10.3', i * 0.01d0)
  end do
  do i = 0, 999, 3
    call real_row('F5.1', i * 0.1d0 + 0.05d0)
  end do
  call real_row('F5.1', 59.95d0)
  call real_row('F5.1', 59.949999999999996d0)
  call real_row('F5.1', 999.95d0)
  call real_row('F5.1', -99.95d0)
  call real_row('F5.1', -0.04d0)
  call real_row('F5.1', -0.05d0)
  call real_row('F5.1', -0d0)
  call real_row('F5.1', 0d0)
  call real_row('F5.1', 0.25d0)
  call real_row('F5.1', 1d300)
  call real_row('F10.3', -0.0004d0)
  call real_row('F10.3', -0.0005d0)
  call real_row('F10.3', 999999.9995d0)
  call real_row('F10.3', 99999.9995d0)
  call real_row('F10.3', -99999.9995d0)
  call real_row('F10.3', 123456.7895d0)
  call real_row('F10.3', 4.9406564584124654d-324)
  do i = 1, 300
    v = random_unit() * 10d0**(mod(ishft(next_random(), -40), 13_int64) - 5)
    if (mod(i, 3) == 0) v = -v
    call real_row('F10.3', v)
    if (i <= 150) call real_row('F5.1', v)
  end do
  do i = 1, 200
    v = real(mod(ishft(next_random(), -30), 2000000_int64) - 1000000, real64) / 2000d0   ! ties at 3 decimals
    call real_row('F10.3', v)
  end do

  ! Iw: every boundary of the widths and random integers.
  do k = 0, 7
    do i = -1, 1
      call i_rows(10_int64**k + i)
      call i_rows(-(10_int64**k + i))
    end do
  end do
  do i = 1, 100
    call i_rows(mod(ishft(next_random(), -20), 2000001_int64) - 1000000)
  end do

contains

  function read_value(mantissa, exponent) result(value)
    character(len=*), intent(in) :: mantissa
    integer, intent(in) :: exponent
    real(real64) :: value
    character(len=40) :: buffer
    write(buffer, '(A,I0)') mantissa, exponent
    read(buffer, *) value
  end function

  function next_random() result(x)
    integer(int64) :: x
    state = ieor(state, ishft(state, 13))
    state = ieor(state, ishft(state, -7))
    state = ieor(state, ishft(state, 17))
    x = ishft(state, -1)   ! non-negative
  end function

  function random_unit() result(u)
    real(real64) :: u
    u = real(ishft(next_random(), -10), real64) * 2d0**(-53)
  end function

  function random_bits() result(v)
    real(real64) :: v
    integer(int64) :: bits
    do
      bits = next_random()
      if (mod(next_random(), 2_int64) == 1) bits = ior(bits, ishft(1_int64, 63))
      if (ibits(bits, 52, 11) /= 2047) exit
    end do
    v = transfer(bits, v)
  end function

  subroutine all_d(v)
    real(real64), intent(in) :: v
    call real_row('D19.12', v)
    call real_row('D9.2', v)
    call real_row('D15.8', v)
    call real_row('D18.12', v)
    call real_row('D24.16', v)
    call real_row('D25.17', v)
  end subroutine

  ! Every Dw.d row is followed by the ESw.d row of the same value.
  recursive subroutine real_row(descriptor, v)
    character(len=*), intent(in) :: descriptor
    real(real64), intent(in) :: v
    write(text, '(' // descriptor // ')') v
    call emit(descriptor, v, text)
    if (descriptor(1:1) == 'D') call real_row('ES' // descriptor(2:), v)
  end subroutine

  subroutine emit(descriptor, v, text)
    character(len=*), intent(in) :: descriptor, text
    real(real64), intent(in) :: v
    integer :: width
    read(descriptor(verify(descriptor, 'DEFS'):index(descriptor, '.') - 1), *) width
    write(*, '(A,1X,Z16.16,1X,"|",A,"|")') descriptor, transfer(v, 0_int64), text(1:width)
  end subroutine

  subroutine i_rows(n)
    integer(int64), intent(in) :: n
    call i_row('I2', 2, n)
    call i_row('I3', 3, n)
    call i_row('I5', 5, n)
    call i_row('I6', 6, n)
  end subroutine

  subroutine i_row(descriptor, width, n)
    character(len=*), intent(in) :: descriptor
    integer, intent(in) :: width
    integer(int64), intent(in) :: n
    write(text, '(' // descriptor // ')') n
    write(*, '(A,1X,I0,1X,"|",A,"|")') descriptor, n, text(1:width)
  end subroutine

end program
